// The designer's own window settings (CustmSetup.ini in the settings folder): whether
// the item list is shown and how wide it is.
#pragma once

#include <QString>

namespace kavel {

// Empty when the file, section or key is missing.
QString ReadCustomSetup(const QString& section, const QString& key);
bool WriteCustomSetup(const QString& section, const QString& key, const QString& value);

// How the item list opens: its width (control pixels, -1: keep the form's) and whether it
// is shown, from the stored settings, or for a task of itemCount items without them.
struct ListLayout {
    int width = -1;
    bool visible = false;
};
ListLayout StoredListLayout(int itemCount);
bool StoreListLayout(const ListLayout& layout);

}  // namespace kavel
