#include "Fonts.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QStandardPaths>

namespace kavel {

void UseShippedFontConfig() {
    if (!qEnvironmentVariableIsEmpty("FONTCONFIG_FILE")) return;
    QFile shipped(":/kavel/fonts.conf");
    if (!shipped.open(QIODevice::ReadOnly)) return;
    const QByteArray content = shipped.readAll();
    const QString path = QDir::temp().filePath(
        QString("kavel-fonts-%1.conf")
            .arg(qgetenv("USER").isEmpty() ? QByteArray("user") : qgetenv("USER")));
    QFile out(path);
    if (!out.exists() || (out.open(QIODevice::ReadOnly) && out.readAll() != content)) {
        out.close();
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
        out.write(content);
    }
    out.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
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
}

}  // namespace kavel
