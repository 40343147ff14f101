#include "forms/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "desktop/said.h"

namespace forms {
namespace {

struct FaceNames {
    QString windowsName;
    QStringList substitutes; // metric-compatible first, then a broad CJK fallback
};

FaceNames NamesOf(Face face) {
    switch (face) {
    case Face::MsGothic:
        return {
            QStringLiteral("ＭＳ ゴシック"),
            {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP")}};
    case Face::MsPGothic:
        return {QStringLiteral("ＭＳ Ｐゴシック"), {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")}};
    case Face::MsPMincho:
        break;
    }
    return {QStringLiteral("ＭＳ Ｐ明朝"), {QStringLiteral("IPAPMincho"), QStringLiteral("Noto Serif CJK JP")}};
}

} // namespace

void InstallFontSubstitutes() {
    for (Face face : {Face::MsGothic, Face::MsPGothic, Face::MsPMincho}) {
        const FaceNames names = NamesOf(face);
        QFont::insertSubstitutions(names.windowsName, names.substitutes);
    }
    // Otherwise every text would be empty boxes with nothing to say why.
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        qCWarning(desktop::Said, "no installed font has Japanese characters; install the Debian packages "
                                 "fonts-ipafont-gothic fonts-ipafont-mincho");
}

QFont MakeFont(Face face, qreal points, bool bold) {
    const FaceNames names = NamesOf(face);
    QFont font;
    // The Windows name first, so Windows gets its own face; elsewhere the substitutes answer.
    font.setFamilies(QStringList{names.windowsName} + names.substitutes);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace forms
