// Lookups in the catalogue the application installed.
#include "ui/toolkit/resources.h"

namespace quillet {
namespace {

const ResourceCatalog*& installedCatalog() {
    static const ResourceCatalog* catalog = nullptr;
    return catalog;
}

template <class Entry>
const Entry* findById(std::span<const Entry> entries, int id) {
    for (const Entry& entry : entries) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

void installResources(const ResourceCatalog& catalog) {
    installedCatalog() = &catalog;
}

const DialogTemplate* findDialogTemplate(int id) {
    const ResourceCatalog* catalog = installedCatalog();
    if (catalog == nullptr) {
        return nullptr;
    }
    for (const DialogTemplate* dialog : catalog->dialogs) {
        if (dialog != nullptr && dialog->id == id) {
            return dialog;
        }
    }
    return nullptr;
}

const StringResource* findStringResource(int id) {
    const ResourceCatalog* catalog = installedCatalog();
    return catalog != nullptr ? findById(catalog->strings, id) : nullptr;
}

const IconResource* findIconResource(int id) {
    const ResourceCatalog* catalog = installedCatalog();
    return catalog != nullptr ? findById(catalog->icons, id) : nullptr;
}

}  // namespace quillet
