// Three overview pictures for the people who draw the art, written only when asked for
// (`artgen OUTDIR --sheet DIR`): a contact sheet of every picture with its name, a scene that
// lays the pictures out as the main window does, with parts on the board in both orientations,
// and the tool bar with its buttons in each of their looks.
#include "Sheet.h"

#include "ArtWriter.h"
#include "Paint.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <functional>

namespace {

QImage Transposed(const QImage& source) {
    QImage target(source.height(), source.width(), source.format());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            target.setPixel(y, x, source.pixel(x, y));
    return target;
}

QImage ContactSheet(const QVector<QPair<QString, QImage>>& pictures, const QImage& board) {
    constexpr int Cell = 168, Columns = 7, BigW = 560, BigH = 300;
    QVector<QPair<QString, QImage>> small, big;
    for (const auto& entry : pictures) {
        if (entry.first.startsWith("bmpBtn")) continue; // the tool bar sheet shows these
        (entry.second.width() <= 128 && entry.second.height() <= 128 ? small : big).append(entry);
    }
    const int rows = (int(small.size()) + Columns - 1) / Columns;
    QImage sheet(Columns * Cell, rows * Cell + 2 * (BigH + 30) + 10, QImage::Format_RGB32);
    sheet.fill(QColor(70, 70, 74));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont font("DejaVu Sans");
    font.setPixelSize(10);
    p.setFont(font);
    for (int i = 0; i < small.size(); ++i) {
        const QRect cell((i % Columns) * Cell, (i / Columns) * Cell, Cell, Cell);
        const QImage& image = small[i].second;
        // Small pictures are enlarged, on a piece of the board as they will lie.
        const int scale = std::max(1, std::min(4, 136 / std::max(image.width(), image.height())));
        const QRect target(cell.center().x() - image.width() * scale / 2, cell.top() + 8,
                           image.width() * scale, image.height() * scale);
        p.drawImage(target.adjusted(-4, -4, 4, 4), board,
                    QRect(40, 40, target.width() / scale + 8, target.height() / scale + 8));
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(target, image);
        p.restore();
        p.setPen(Qt::white);
        p.drawText(QRect(cell.left(), cell.bottom() - 16, Cell, 14), Qt::AlignCenter,
                   QString("%1 %2x%3").arg(small[i].first).arg(image.width()).arg(image.height()));
    }
    // The large pictures below, scaled to fit, flowing in rows.
    int x = 8, y = rows * Cell + 8;
    for (const auto& entry : big) {
        const QImage scaled =
            entry.second.scaled(BigW, BigH, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (x + scaled.width() > sheet.width()) {
            x = 8;
            y += BigH + 30;
        }
        p.drawImage(x, y, scaled);
        p.setPen(Qt::white);
        p.drawText(x, y + scaled.height() + 16,
                   QString("%1 %2x%3")
                       .arg(entry.first)
                       .arg(entry.second.width())
                       .arg(entry.second.height()));
        x += scaled.width() + 16;
    }
    return sheet;
}

QImage Scene(const QHash<QString, QImage>& art) {
    constexpr int W = 1000, H = 640, Title = 33, Tools = 80, Status = 27;
    QImage scene(W, H, QImage::Format_RGB32);
    QPainter p(&scene);
    p.drawImage(0, 0, art.value("jpgBackground"), 180, 120, W, H);
    p.drawImage(QRect(0, 0, W, Title), art.value("bmpTitleBackground"));
    p.drawImage(W - 17 - 30, 10, art.value("bmpMinimize"));
    QFont title("DejaVu Sans", 11, QFont::Bold);
    title.setUnderline(true);
    p.setFont(title);
    p.setPen(Qt::yellow);
    p.drawText(8, 22, "Vexilo");
    p.fillRect(0, Title, W, Tools, QColor(45, 140, 36));
    p.fillRect(0, Title + Tools, W, 2, Qt::white);
    const int boxLeft = W - 112, boxTop = Title + Tools + 2;
    p.drawImage(QRect(boxLeft, boxTop, 112, H - boxTop - Status), art.value("bmpToolBar"));
    const char* stems[] = {"Resistor",  "Protector", "Condensator", "Inductance",  "Wire",
                           "Switch",    "Battery",   "Generator",   "Lamp",        "Heater",
                           "Conductor", "BlackBug",  "VResistor",   "VCondensator"};
    const int rowTops[] = {0, 57, 114, 171, 227, 284, 341};
    for (int i = 0; i < 14; ++i) {
        const QString name = QString("bmp%1Box%2").arg(stems[i]).arg(i == 8 ? "Opened" : "Closed");
        p.drawImage(boxLeft + (i % 2) * 56, boxTop + rowTops[i / 2], art.value(name));
    }
    const QImage trash = art.value("bmpTrashcan");
    p.drawImage(15, H - Status - trash.height() - 15, trash);
    QFont status("DejaVu Sans");
    status.setPixelSize(12);
    p.setFont(status);
    p.setPen(Qt::white);
    p.drawText(QRect(0, H - Status, W, Status), Qt::AlignVCenter, "   Status line");

    // The board with its nodes, then parts as the program places them.
    const int boardTop = (H + Tools + Title - Status - 448) / 2;
    const int boardLeft = boxLeft - 448 - (boardTop - Tools);
    p.translate(boardLeft, boardTop);
    p.drawImage(0, 0, art.value("jpgBoard"));
    p.setPen(Qt::black);
    p.drawRect(0, 0, 447, 447);
    const QImage node = art.value("bmpNode");
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c)
            p.drawImage(64 * c + 32 - node.width() / 2, 64 * r + 32 - node.height() / 2, node);
    auto place = [&](const QString& name, int r, int c, bool vertical) {
        const QImage picture = vertical ? Transposed(art.value(name)) : art.value(name);
        if (vertical)
            p.drawImage(64 * c + 32 - picture.width() / 2,
                        64 * r + 32 + (64 - picture.height()) / 2, picture);
        else
            p.drawImage(64 * c + 32 + (64 - picture.width()) / 2,
                        64 * r + 32 - picture.height() / 2, picture);
    };
    auto label = [&](int r, int c, bool vertical, const QString& text) {
        QFont f("DejaVu Sans");
        f.setPixelSize(12);
        p.setFont(f);
        p.setPen(Qt::white);
        p.save();
        if (vertical) {
            p.translate(64 * c + 32, 64 * r + 64);
            p.rotate(-90);
        } else {
            p.translate(64 * c + 64, 64 * r + 32);
        }
        p.drawText(QRect(-30, -8, 60, 16), Qt::AlignCenter, text);
        p.restore();
    };
    // A loop: battery, resistor, lamp, switch, fuse and wires; and every other part elsewhere.
    place("bmpBattery", 1, 1, false);
    place("bmpResistor", 1, 2, false);
    label(1, 2, false, "4к7");
    place("bmpLampOn", 1, 3, false);
    place("bmpWire", 1, 4, true);
    place("bmpSwitchOn", 2, 3, false);
    place("bmpProtector", 2, 2, false);
    place("bmpWire", 2, 1, false);
    place("bmpWire", 1, 1, true);
    place("bmpResistor", 3, 5, true);
    label(3, 5, true, "1000.0");
    place("bmpCondensator", 3, 0, false);
    place("bmpInductance", 3, 1, true);
    place("bmpHeaterOn", 4, 1, false);
    place("bmpHeaterMin", 5, 1, false);
    place("bmpLampMin", 4, 3, false);
    place("bmpLampOff", 4, 4, true);
    place("bmpSwitchOff", 5, 3, false);
    place("bmpGenerator", 0, 5, false);
    place("bmpConductor", 5, 5, false);
    place("bmpResistorBurntOut", 6, 0, false);
    place("bmpCondensatorBurntOut", 6, 1, false);
    place("bmpProtectorBurntOut", 6, 2, false);
    place("bmpLampBurntOut", 6, 3, false);
    place("bmpHeaterBurntOut", 6, 4, false);
    place("bmpProtectorBurning", 2, 5, true);
    place("bmpSwitchOff", 0, 0, true);
    place("bmpLampOn", 3, 6, true);
    const QImage pliers = art.value("curPincers"), hand = art.value("curArm"),
                 point = art.value("curPoint");
    p.drawImage(64 * 2 + 32 - 16, 64 * 4 + 40 - 16, pliers);
    p.drawImage(64 * 5 + 40 - 16, 64 * 4 + 20 - 16, hand);
    p.drawImage(64 * 0 + 40 - 16, 64 * 5 + 12 - 16, point);
    return scene;
}

// The tool bar as the window shows it, in each of the buttons' four looks, then every glyph
// strip enlarged on the bar's green, and the programs' icons.
QImage ToolbarSheet(const QHash<QString, QImage>& art) {
    const char* buttons[] = {"ReadFile",   "WriteFile",    "DeleteAll",     nullptr,
                             "Multimeter", "Oscillograph", nullptr,         "FloatControl",
                             "IronState",  nullptr,        "HelpReference", "HelpLabs",
                             "Help",       nullptr,        "Options",       "Calc",
                             nullptr,      "About",        nullptr,         "Exit"};
    constexpr int W = 880, Title = 33, Bar = 80, ButtonW = 55, ButtonH = 54, Gap = 10, Glyph = 44;
    const QColor green(45, 140, 36), grey(70, 70, 74);
    constexpr int Label = 22, Zoom = 2, Strip = 4 * Glyph * Zoom, ZoomRow = Glyph * Zoom + 26;
    const int height = Title + Bar + 2 + 4 * (Label + Bar) + 16 + 7 * ZoomRow + 16 + 156;
    QImage sheet(W, height, QImage::Format_RGB32);
    sheet.fill(grey);
    QPainter p(&sheet);
    QFont font("DejaVu Sans");
    font.setPixelSize(12);
    // One bar; `lookOf` picks the glyph (0 up, 1 disabled, 2 pressed, 3 down) for each button.
    auto bar = [&](int top, const std::function<int(const QString&)>& lookOf) {
        p.fillRect(0, top, W, Bar, green);
        int x = 6;
        for (const char* button : buttons) {
            if (!button) {
                x += Gap;
                continue;
            }
            const QImage strip = art.value(QString("bmpBtn") + button);
            const int look = lookOf(button);
            p.drawImage(QPoint(x + (ButtonW - Glyph) / 2,
                               top + (Bar - ButtonH) / 2 + (ButtonH - Glyph) / 2),
                        strip, QRect(look * Glyph, 0, Glyph, Glyph));
            x += ButtonW;
        }
    };
    auto label = [&](int top, const QString& text) {
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(8, top, W - 16, Label), Qt::AlignVCenter, text);
    };
    // The top of the window: title strip, tool bar with a latched and a disabled button, white
    // line.
    int y = 0;
    p.drawImage(QRect(0, 0, W, Title), art.value("bmpTitleBackground"));
    p.drawImage(W - 17 - 30, 10, art.value("bmpMinimize"));
    QFont title("DejaVu Sans", 11, QFont::Bold);
    title.setUnderline(true);
    p.setFont(title);
    p.setPen(Qt::yellow);
    p.drawText(8, 22, "Vexilo");
    y += Title;
    bar(y, [](const QString& b) {
        return b == "IronState" ? 3 : b == "FloatControl" ? 1 : b == "Multimeter" ? 2 : 0;
    });
    y += Bar;
    p.fillRect(0, y, W, 2, Qt::white);
    y += 2;
    const char* looks[] = {"up", "disabled", "pressed", "down (latched)"};
    for (int look = 0; look < 4; ++look) {
        label(y, looks[look]);
        y += Label;
        bar(y, [look](const QString&) { return look; });
        y += Bar;
    }
    // Every strip enlarged, two to a row.
    y += 16;
    int i = 0;
    for (const char* button : buttons) {
        if (!button) continue;
        const QString name = QString("bmpBtn") + button;
        const int x = 8 + (i % 2) * (Strip + 40), top = y + (i / 2) * ZoomRow;
        p.fillRect(x - 4, top, Strip + 8, Glyph * Zoom + 8, green);
        p.drawImage(QRect(x, top + 4, Strip, Glyph * Zoom), art.value(name));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(x, top + Glyph * Zoom + 8, Strip, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   name);
        ++i;
    }
    y += 7 * ZoomRow + 16;
    // The programs' icons: actual size on green and on grey, and enlarged.
    int x = 8;
    for (const char* name :
         {"bmpAppIconWorkbench", "bmpAppIconCoursebook", "bmpAppIconFilterdemo"}) {
        const QImage icon = art.value(name);
        p.fillRect(x, y, 76, 76, green);
        p.drawImage(x + 6, y + 6, icon);
        p.drawImage(x + 84, y + 6, icon);
        p.drawImage(QRect(x + 156, y, 128, 128), icon);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(x, y + 132, 284, 16), Qt::AlignLeft | Qt::AlignVCenter, name);
        x += 292;
    }
    return sheet;
}

} // namespace

bool WriteSheets(const ArtWriter& art, const QString& dir) {
    QHash<QString, QImage> byName;
    for (const auto& entry : art.Pictures())
        byName.insert(entry.first, entry.second);
    const bool sheet =
        ContactSheet(art.Pictures(), byName.value("jpgBoard")).save(dir + "/art-contact-sheet.png");
    const bool scene = Scene(byName).save(dir + "/art-scene.png");
    const bool toolbar = ToolbarSheet(byName).save(dir + "/art-toolbar.png");
    return sheet && scene && toolbar;
}
