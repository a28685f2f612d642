#include "ui/resources/resource_catalog.h"

#include "ui/resources/dialog_templates.h"
#include "ui/resources/icon_drawings.h"
#include "ui/resources/resource_ids.h"

namespace quillet {

const ResourceCatalog& quilletResources() {
    static const StringResource kStrings[] = {
        {kAboutMenuStringId, QUILLET_ABOUT_MENU_TEXT},
    };
    static const IconResource kIcons[] = {
        {kAppIconId, IconSource::Drawing, appIconDrawing()},
        {kWarningIconId, IconSource::SystemWarning, warningIconDrawing()},
    };
    static const ResourceCatalog kCatalog{
        .dialogs = dialogTemplates(),
        .strings = kStrings,
        .icons = kIcons,
    };
    return kCatalog;
}

}  // namespace quillet
