#include "support/Board.h"

#include "board/Frmwork.h"
#include "components/Iron.h"
#include "document/Join.h"
#include "solver/Calculate.h"

#include <QFile>

TBoardFixture::TBoardFixture() : Board(nullptr) {
    Window.resize(800, 600);
    JoinCircuit();
    Board = new TFramework(&Window);
    Board->move(100, 50);
    Solver::LogPath = Seams.Dir.filePath("LOG.LOG");
    CircuitOmega = 0;
}

TBoardFixture::~TBoardFixture() {
    DestroyAllParts();
    Select(nullptr);
    delete Board;
    CircuitOmega = 0;
    Solver::LogPath = "LOG.LOG";
}

QByteArray TBoardFixture::Log() const {
    QFile f(Solver::LogPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
