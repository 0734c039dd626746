#include "app/AppIcons.h"

#include <QPainter>
#include <QSvgRenderer>

#include <array>

// The resources live in a static library, whose registration the linker would drop unless it
// is referenced. Q_INIT_RESOURCE declares its function where it stands, hence global scope.
static void RegisterIconResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

QString IconPath(IconId id)
{
    // In the order of IconId.
    static const std::array<const char*, 12> names = {
        "app",         "open",  "save",      "print-setup",        "print-preview",
        "print",       "about", "tree-file", "tree-file-selected", "tree-file-marked",
        "tree-folder", "interpret",
    };
    return QStringLiteral(":/icons/%1.svg").arg(QLatin1String(names[std::size_t(id)]));
}

}  // namespace

QPixmap PaintIcon(IconId id, int nSize)
{
    RegisterIconResources();
    QPixmap pixmap(nSize > 0 ? nSize : 16, nSize > 0 ? nSize : 16);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(IconPath(id));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon MakeIcon(IconId id)
{
    RegisterIconResources();
    // Qt's SVG icon engine draws the picture afresh for every size and pixel ratio asked for.
    return QIcon(IconPath(id));
}
