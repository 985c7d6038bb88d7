// The programs' icons for the desktop: the same drawing as the window icons, rendered at the
// sizes a desktop asks for and written once more as SVG for any other size.
#include "Art.h"
#include "Paint.h"

#include <QDir>
#include <QPainter>
#include <QSvgGenerator>

using namespace art;

bool WriteDesktopIcons(const QString& dir, const QString& prefix, const std::vector<int>& sizes) {
    bool ok = true;
    for (const ProgramIcon& icon : ProgramIcons()) {
        const QString name = prefix + icon.Program;
        for (int size : sizes) {
            const double scale = double(size) / IconUnits;
            const QImage image = Render(size, size, [&](QPainter& p) {
                p.scale(scale, scale);
                icon.Paint(p);
            });
            const QString folder = QString("%1/%2x%2/apps").arg(dir).arg(size);
            ok = QDir().mkpath(folder) && image.save(folder + "/" + name + ".png") && ok;
        }
        const QString folder = dir + "/scalable/apps";
        ok = QDir().mkpath(folder) && ok;
        QSvgGenerator svg;
        svg.setFileName(folder + "/" + name + ".svg");
        svg.setSize(QSize(IconUnits, IconUnits));
        svg.setViewBox(QRect(0, 0, IconUnits, IconUnits));
        svg.setTitle(icon.Program);
        QPainter p;
        if (!p.begin(&svg)) {
            ok = false;
            continue;
        }
        p.setRenderHint(QPainter::Antialiasing);
        icon.Paint(p);
        ok = p.end() && ok;
    }
    return ok;
}
