// The workbench program.
#include "board/Node.h"
#include "shell/Global.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {
// Until the main window exists: the mounting plate with its lattice of nodes.
class TBoardPreview : public QWidget {
public:
    TBoardPreview() {
        setFixedSize(448, 448);
        Plate = LoadJpegResource("jpgBoard");
        NodePicture = LoadTransparentBitmap("bmpNode");
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 7; ++c) new TNode(r, c);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, Plate);
        for (const TNode* n : Nodes)
            p.drawImage(64 * n->Column + 32 - NodePicture.width() / 2,
                        64 * n->Row + 32 - NodePicture.height() / 2, NodePicture);
    }

private:
    QImage Plate;
    QImage NodePicture;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("Vexilo");
    LoadLanguageFile(QCoreApplication::applicationDirPath() + "/Russian.lng");
    TBoardPreview board;
    board.show();
    return app.exec();
}
