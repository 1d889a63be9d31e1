#include "Fonts.h"

#include "platform/FontFamilies.h"

#include <QDir>
#include <QFile>
#include <QFont>

#include "platform/RuntimeFolder.h"

namespace kavel {

void UseShippedFontConfig() {
    if (!qEnvironmentVariableIsEmpty("FONTCONFIG_FILE")) return;
    QFile shipped(":/kavel/fonts.conf");
    if (!shipped.open(QIODevice::ReadOnly)) return;
    // Fontconfig and the browser read the mapping from a file; it lives in our private
    // folder, where no other user can put a link or a file of their own in its place.
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty() || !WritePrivateFile(folder, "kavel-fonts.conf", shipped.readAll())) {
        return;
    }
    qputenv("FONTCONFIG_FILE", QFile::encodeName(QDir(folder).filePath("kavel-fonts.conf")));
}

void InstallFontSubstitutions() {
    const std::pair<const char*, const char*> map[] = {
        {"宋体", "Noto Serif CJK SC"},           {"SimSun", "Noto Serif CJK SC"},
        {"新宋体", "Noto Serif CJK SC"},         {"黑体", "Noto Sans CJK SC"},
        {"SimHei", "Noto Sans CJK SC"},          {"微软雅黑", "Noto Sans CJK SC"},
        {"Microsoft YaHei", "Noto Sans CJK SC"}, {"Arial", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},    {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& [from, to] : map) {
        QFont::insertSubstitution(QString::fromUtf8(from), QString::fromUtf8(to));
    }
    // The generic families take the faces the browser engine lays them out in.
    InstallGenericFamilySubstitutions();
}

}  // namespace kavel
