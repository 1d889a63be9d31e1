#include "designer/CustomSetup.h"

#include <QDir>

#include "platform/SettingsStore.h"

namespace kavel {

namespace {

const QString kSection = QStringLiteral("SetupInterface");

// Opened on first use for the settings folder of that moment; opened again when the folder
// changes (tests and the script runner set their own).
SettingsStore& Store() {
    static SettingsStore store;
    const QString folder = GetSettingsFolder();
    const QString name = folder.isEmpty() ? QString() : QDir(folder).filePath("CustmSetup.ini");
    if (store.FileName() != name) store = SettingsStore(name);
    return store;
}

}  // namespace

QString ReadCustomSetup(const QString& section, const QString& key) {
    return Store().Read(section, key);
}

bool WriteCustomSetup(const QString& section, const QString& key, const QString& value) {
    return Store().Write(section, key, value);
}

ListLayout StoredListLayout(int itemCount) {
    ListLayout layout;
    bool ok = false;
    const int width = ReadCustomSetup(kSection, "SelectListWidth").trimmed().toInt(&ok);
    if (ok && width >= 0) {
        layout.width = width;
        layout.visible =
            width != 0 && ReadCustomSetup(kSection, "SelectListVisible").trimmed() != "0";
    } else {
        layout.visible = itemCount >= 10;
    }
    return layout;
}

bool StoreListLayout(const ListLayout& layout) {
    const bool a = WriteCustomSetup(kSection, "SelectListVisible", layout.visible ? "1" : "0");
    const bool b = WriteCustomSetup(kSection, "SelectListWidth", QString::number(layout.width));
    return a && b;
}

}  // namespace kavel
