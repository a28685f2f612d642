#pragma once

#include <span>

#include "ui/toolkit/dialog_template.h"

namespace quillet {

// What the application gives the toolkit in place of a resource file: its dialog
// templates, strings and icons. The toolkit keeps a reference, so the catalogue must
// outlive every window (it is constant data in practice).

struct StringResource {
    int id = 0;
    const char* text = "";
};

enum class IconSource {
    Drawing,        // the SVG drawing below
    SystemWarning,  // the platform's own warning icon where it has one, else the drawing
};

struct IconResource {
    int id = 0;
    IconSource source = IconSource::Drawing;
    std::span<const unsigned char> svg = {};  // the drawing, SVG text
};

struct ResourceCatalog {
    std::span<const DialogTemplate* const> dialogs = {};
    std::span<const StringResource> strings = {};
    std::span<const IconResource> icons = {};
};

// Installs the catalogue the toolkit's lookups use from now on.
void installResources(const ResourceCatalog& catalog);

// Lookups in the installed catalogue; null when there is no such entry (or no catalogue).
// These three are defined once for all backends (ui/toolkit/resources.cpp);
// loadStringResource and Icon::load are defined by each backend.
const DialogTemplate* findDialogTemplate(int id);
const StringResource* findStringResource(int id);
const IconResource* findIconResource(int id);

// The string with that resource number; empty when there is none. The Win32 backend reads
// the program's own string table (LoadString), which the resource script builds from the
// same definitions; the catalogue's strings serve the other backends.
const char* loadStringResource(int id);

// An icon resource by number. The Win32 backend loads it from the program's resources
// (the resource script holds the same drawings as .ico files); the others draw the
// catalogue's SVG or use the platform's warning icon. A null icon shows nothing.
class Icon {
  public:
    Icon() = default;
    // The icon with that resource number, or a null icon when there is none.
    static Icon load(int id);

    bool isNull() const { return id_ == 0; }
    int id() const { return id_; }

  private:
    explicit Icon(int id) : id_(id) {}
    int id_ = 0;
};

}  // namespace quillet
