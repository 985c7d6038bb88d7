// Builds the sample course from its readable sources into the program folder:
//   coursebuild db SQL OUT.sqlite            the lesson database from the course's SQL
//   coursebuild page IN.html CSS PICS OUT    a lesson page as .htm (pictures copied beside it)
//                                            or as .mht (one MIME archive holding the pictures)
//   coursebuild picture IN.svg OUT.jpg WIDTH a picture for the picture window
//   coursebuild test QUESTIONS CSS OUTDIR    the question pages N.htm and the key otwet.txt
//   coursebuild music OUT.wav                the background melody
//   coursebuild video OUT.avi                the animated video fragment (Motion-JPEG AVI)
//   coursebuild check DIR                    every file the database names exists under DIR
#include "DataErrors.h"
#include "Schema.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSvgRenderer>
#include <QTextStream>
#include <QtMath>

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

[[noreturn]] void Die(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        Die(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Die(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
    if (f.write(data) != data.size())
        Die(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
}

// ---- database -------------------------------------------------------------------------------

void BuildDatabase(const QString& sqlPath, const QString& outPath) {
    const QString sql = QString::fromUtf8(ReadAll(sqlPath));
    const QString tmp = outPath + QStringLiteral(".tmp");
    QFile::remove(tmp);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("build"));
        db.setDatabaseName(tmp);
        if (!db.open()) Die(QStringLiteral("cannot create %1: %2").arg(tmp, db.lastError().text()));
        // The same tables, course and password hashing as `coursebook --init-db` on a server.
        InitCourseDatabase(QStringLiteral("build"), sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("build"));
    QFile::remove(outPath);
    if (!QFile::rename(tmp, outPath)) Die(QStringLiteral("cannot move %1 to %2").arg(tmp, outPath));
}

void CheckCourse(const QString& dir) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
    db.setDatabaseName(dir + QStringLiteral("/db1.sqlite"));
    if (!db.open()) Die(db.lastError().text());
    QSqlQuery q(QStringLiteral("SELECT kod_uroka, htm, jpg, wav, mid, avi, test FROM urok"), db);
    QStringList missing;
    while (q.next()) {
        for (int i = 1; i <= 6; ++i) {
            const QString v = q.value(i).toString();
            if (!v.isEmpty() && v != QStringLiteral("w") && !QFileInfo(dir + u'/' + v).isFile())
                missing.append(QStringLiteral("lesson %1: %2").arg(q.value(0).toString(), v));
        }
    }
    for (const char* page : {"zas.mht", "help.mht"})
        if (!QFileInfo(dir + u'/' + QLatin1String(page)).isFile())
            missing.append(QLatin1String(page));
    if (!missing.isEmpty())
        Die(QStringLiteral("the course names files that were not built:\n  ") +
            missing.join(QStringLiteral("\n  ")));
}

// ---- pages ----------------------------------------------------------------------------------

// The stylesheet goes inside every page, so that a page is complete in itself.
QString InlineStyle(QString html, const QString& css) {
    static const QRegularExpression link(QStringLiteral("<link[^>]*rel=\"stylesheet\"[^>]*>"));
    return html.replace(link, QStringLiteral("<style>\n") + css + QStringLiteral("</style>"));
}

QStringList PicturesOf(const QString& html) {
    static const QRegularExpression src(QStringLiteral("src=\"img/([^\"]+)\""));
    QStringList names;
    for (auto it = src.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!names.contains(name)) names.append(name);
    }
    return names;
}

QByteArray MimeType(const QString& name) {
    if (name.endsWith(QStringLiteral(".svg"))) return "image/svg+xml";
    if (name.endsWith(QStringLiteral(".png"))) return "image/png";
    return "image/jpeg";
}

QByteArray Base64Lines(const QByteArray& data) {
    const QByteArray b = data.toBase64();
    QByteArray out;
    for (int i = 0; i < b.size(); i += 76)
        out += b.mid(i, 76) + "\r\n";
    return out;
}

// A web archive: one multipart/related MIME message whose first part is the page and whose
// other parts are its pictures, each found again by its Content-Location. The locations are on
// a made-up web host because the HTML view refuses file locations inside an archive.
QByteArray MhtArchive(const QString& pageName, const QString& html, const QString& picturesDir) {
    const QByteArray boundary = "----=_Torvane_Part_000_0001";
    const QByteArray base = "http://torvane.course/";
    QByteArray m;
    m += "From: <Torvane>\r\n";
    m += "Subject: =?utf-8?B?" +
         html.section(QStringLiteral("<title>"), 1)
             .section(QStringLiteral("</title>"), 0, 0)
             .toUtf8()
             .toBase64() +
         "?=\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"" + boundary +
         "\"\r\n\r\n";
    m += "This is a multi-part message in MIME format.\r\n\r\n";
    m += "--" + boundary + "\r\n";
    m += "Content-Type: text/html; charset=\"utf-8\"\r\n";
    m += "Content-Transfer-Encoding: base64\r\n";
    m += "Content-Location: " + base + pageName.toUtf8() + "\r\n\r\n";
    m += Base64Lines(html.toUtf8());
    for (const QString& name : PicturesOf(html)) {
        m += "\r\n--" + boundary + "\r\n";
        m += "Content-Type: " + MimeType(name) + "\r\n";
        m += "Content-Transfer-Encoding: base64\r\n";
        m += "Content-Location: " + base + "img/" + name.toUtf8() + "\r\n\r\n";
        m += Base64Lines(ReadAll(picturesDir + u'/' + name));
    }
    m += "\r\n--" + boundary + "--\r\n";
    return m;
}

void BuildPage(const QString& in, const QString& cssPath, const QString& picturesDir,
               const QString& out) {
    const QString html =
        InlineStyle(QString::fromUtf8(ReadAll(in)), QString::fromUtf8(ReadAll(cssPath)));
    if (out.endsWith(QStringLiteral(".mht"), Qt::CaseInsensitive)) {
        const QString pageName = QFileInfo(out).completeBaseName() + QStringLiteral(".htm");
        WriteAll(out, MhtArchive(pageName, html, picturesDir));
        return;
    }
    WriteAll(out, html.toUtf8());
    const QString imgDir = QFileInfo(out).absolutePath() + QStringLiteral("/img/");
    for (const QString& name : PicturesOf(html))
        WriteAll(imgDir + name, ReadAll(picturesDir + u'/' + name));
}

// ---- pictures -------------------------------------------------------------------------------

void BuildPicture(const QString& in, const QString& out, int width) {
    QSvgRenderer svg(in);
    if (!svg.isValid()) Die(QStringLiteral("not a picture: %1").arg(in));
    const QSizeF size = svg.defaultSize();
    const int height = qRound(width * size.height() / size.width());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    p.end();
    QDir().mkpath(QFileInfo(out).absolutePath());
    if (!image.save(out, nullptr, 92)) Die(QStringLiteral("cannot write %1").arg(out));
}

// ---- test -----------------------------------------------------------------------------------

struct Question {
    QString Text;
    QStringList Options;
    QChar Answer;
};

QList<Question> ReadQuestions(const QString& path) {
    QList<Question> out;
    const QStringList lines = QString::fromUtf8(ReadAll(path)).split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (line.startsWith(QStringLiteral("? "))) {
            out.append({line.mid(2), {}, QChar()});
        } else if (line.size() > 2 && line[1] == u')' &&
                   QStringLiteral("ABCDE").contains(line[0]) && !out.isEmpty()) {
            out.last().Options.append(line.mid(2).trimmed());
        } else if (line.startsWith(QStringLiteral("= ")) && !out.isEmpty()) {
            out.last().Answer = line[2];
        } else {
            Die(QStringLiteral("%1:%2: cannot read \"%3\"").arg(path).arg(n + 1).arg(line));
        }
    }
    for (int i = 0; i < out.size(); ++i) {
        if (out[i].Options.size() != 5 || !QStringLiteral("ABCDE").contains(out[i].Answer))
            Die(QStringLiteral("question %1 needs five answers A) to E) and a key \"= X\"")
                    .arg(i + 1));
    }
    return out;
}

void BuildTest(const QString& questionsPath, const QString& cssPath, const QString& outDir) {
    const QList<Question> questions = ReadQuestions(questionsPath);
    if (questions.size() != 40)
        Die(QStringLiteral("the test has %1 questions, not 40").arg(questions.size()));
    const QString css = QString::fromUtf8(ReadAll(cssPath));
    QByteArray key;
    for (int i = 0; i < questions.size(); ++i) {
        const Question& q = questions[i];
        // A question is shown under whatever slot number drew it, so the page carries no number.
        QString html;
        QTextStream s(&html);
        s << "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\">\n"
          << "<title>Вопрос " << i + 1 << "</title>\n<style>\n"
          << css << "</style></head>\n"
          << "<body class=\"question\"><main>\n"
          << "<p class=\"qnum\">Итоговый тест · Torvane</p>\n"
          << "<h2>" << q.Text.toHtmlEscaped() << "</h2>\n<ol class=\"choices\">\n";
        for (int k = 0; k < 5; ++k) {
            s << "<li><span class=\"letter\">" << QChar(u'A' + k) << ")</span> "
              << q.Options[k].toHtmlEscaped() << "</li>\n";
        }
        s << "</ol>\n<p class=\"hint\">Выберите ответ кнопкой с буквой над "
             "страницей.</p>\n</main></body></html>\n";
        WriteAll(outDir + QStringLiteral("/%1.htm").arg(i + 1), html.toUtf8());
        // The key holds nothing but the letter: any capital A to E on the line would count.
        key += QByteArray(1, char(q.Answer.unicode())) + "\r\n";
    }
    WriteAll(outDir + QStringLiteral("/otwet.txt"), key);
    // The final test gives every question of its bank once, in a random order.
    WriteAll(
        outDir + QStringLiteral("/test.ini"),
        "; How the test draws its questions: WithoutRepeats or Independent (repeats possible).\r\n"
        "[Test]\r\nDraw=WithoutRepeats\r\n");
}

// ---- music ----------------------------------------------------------------------------------

QByteArray WaveFile(const QList<qint16>& samples, int rate) {
    QByteArray data;
    QDataStream d(&data, QIODevice::WriteOnly);
    d.setByteOrder(QDataStream::LittleEndian);
    const quint32 bytes = quint32(samples.size() * 2);
    d.writeRawData("RIFF", 4);
    d << quint32(36 + bytes);
    d.writeRawData("WAVEfmt ", 8);
    d << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
      << quint16(16);
    d.writeRawData("data", 4);
    d << bytes;
    for (qint16 s : samples)
        d << s;
    return data;
}

// A slow arpeggio over a four-chord progression with soft plucked tones: quiet enough to read by.
void BuildMusic(const QString& out) {
    const int rate = 22050;
    const double beat = 0.32;
    // Chords as MIDI note numbers: C, Am, F, G, twice, then C to end.
    const QList<QList<int>> chords = {{60, 64, 67, 72}, {57, 60, 64, 69}, {53, 57, 60, 65},
                                      {55, 59, 62, 67}, {60, 64, 67, 72}, {57, 60, 64, 69},
                                      {53, 57, 60, 65}, {55, 59, 62, 67}, {60, 64, 67, 72}};
    const QList<int> pattern = {0, 1, 2, 3, 2, 1, 0, 2};
    const int total = int((chords.size() * pattern.size() + 8) * beat * rate);
    QList<double> mix(total, 0.0);
    auto addNote = [&](int note, double start, double length, double volume) {
        const double f = 440.0 * std::pow(2.0, (note - 69) / 12.0);
        const int first = int(start * rate);
        const int count = int(length * rate);
        for (int i = 0; i < count && first + i < total; ++i) {
            const double t = double(i) / rate;
            const double env = (1.0 - std::exp(-t * 200.0)) * std::exp(-t * 2.6);
            const double tone = std::sin(2 * M_PI * f * t) + 0.35 * std::sin(4 * M_PI * f * t) +
                                0.12 * std::sin(6 * M_PI * f * t);
            mix[first + i] += volume * env * tone;
        }
    };
    double t = 0.2;
    for (int c = 0; c < chords.size(); ++c) {
        addNote(chords[c][0] - 12, t, beat * 8, 0.30);
        const int steps = c + 1 == chords.size() ? 4 : int(pattern.size());
        for (int k = 0; k < steps; ++k) {
            addNote(chords[c][pattern[k]], t, beat * 3, 0.22);
            t += beat;
        }
    }
    QList<qint16> samples;
    samples.reserve(total);
    for (int i = 0; i < total; ++i) {
        const double fade = std::min(1.0, double(total - i) / (rate * 1.5));
        samples.append(qint16(std::clamp(mix[i] * fade, -1.0, 1.0) * 26000));
    }
    WriteAll(out, WaveFile(samples, rate));
}

// ---- video ----------------------------------------------------------------------------------

// One frame of the fragment "current and voltage of a capacitor": a rotating pair of phasors on
// the left and the two sine curves they trace on the right, the current a quarter period ahead.
QImage VideoFrame(int index, int frames, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(0xfb, 0xfa, 0xf5));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont title(QStringLiteral("DejaVu Sans"), 13, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(0x1d, 0x3c, 0x6e));
    p.drawText(QRect(0, 8, w, 26), Qt::AlignCenter,
               QStringLiteral("Конденсатор в цепи переменного тока"));

    const double phase = 2 * M_PI * 2.0 * index / frames; // two turns over the fragment
    const QPointF c(110, h / 2 + 10);
    const double r = 70;
    p.setPen(QPen(QColor(0xcc, 0xcc, 0xcc), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.drawLine(QPointF(c.x() - r - 10, c.y()), QPointF(c.x() + r + 10, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - r - 10), QPointF(c.x(), c.y() + r + 10));

    const QColor uColour(0x1f, 0x6f, 0xd0), iColour(0xd0, 0x3a, 0x2a);
    auto arrow = [&](double angle, double len, const QColor& col) {
        const QPointF tip(c.x() + len * std::cos(angle), c.y() - len * std::sin(angle));
        p.setPen(QPen(col, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, tip);
        p.setBrush(col);
        p.drawEllipse(tip, 4, 4);
    };
    arrow(phase, r, uColour);
    arrow(phase + M_PI / 2, r * 0.8, iColour);

    const double x0 = 220, x1 = w - 20;
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 1));
    p.drawLine(QPointF(x0, c.y()), QPointF(x1, c.y()));
    auto curve = [&](double shift, double amp, const QColor& col) {
        QPainterPath path;
        for (int x = 0; x <= int(x1 - x0); ++x) {
            const double a = phase - 2 * M_PI * x / 180.0 + shift;
            const QPointF pt(x0 + x, c.y() - amp * std::sin(a));
            x == 0 ? path.moveTo(pt) : path.lineTo(pt);
        }
        p.setPen(QPen(col, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    curve(0, r, uColour);
    curve(M_PI / 2, r * 0.8, iColour);

    QFont legend(QStringLiteral("DejaVu Sans"), 11);
    p.setFont(legend);
    p.setPen(uColour);
    p.drawText(QPointF(x0, h - 40), QStringLiteral("u — напряжение"));
    p.setPen(iColour);
    p.drawText(QPointF(x0 + 150, h - 40), QStringLiteral("i — ток"));
    p.setPen(QColor(0x44, 0x44, 0x44));
    p.drawText(QRect(0, h - 28, w, 22), Qt::AlignCenter,
               QStringLiteral("Ток опережает напряжение на четверть периода (90°)"));
    return img;
}

void Put32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b += char((v >> (8 * i)) & 0xff);
}
void Put16(QByteArray& b, quint16 v) {
    b += char(v & 0xff);
    b += char(v >> 8);
}
QByteArray Chunk(const char* id, const QByteArray& body) {
    QByteArray b(id, 4);
    Put32(b, quint32(body.size()));
    b += body;
    if (body.size() % 2) b += '\0';
    return b;
}
QByteArray List(const char* type, const QByteArray& body) {
    return Chunk("LIST", QByteArray(type, 4) + body);
}

// An AVI file with one Motion-JPEG video stream: RIFF 'AVI ' with the header list, the frames in
// 'movi' as '00dc' chunks, and the 'idx1' index that players use to seek.
void BuildVideo(const QString& out) {
    const int w = 640, h = 360, fps = 15, frames = 8 * fps;
    QList<QByteArray> jpegs;
    quint32 largest = 0;
    for (int i = 0; i < frames; ++i) {
        QByteArray jpg;
        QBuffer buf(&jpg);
        buf.open(QIODevice::WriteOnly);
        VideoFrame(i, frames, w, h).save(&buf, "JPG", 85);
        largest = std::max(largest, quint32(jpg.size()));
        jpegs.append(jpg);
    }

    QByteArray avih;
    Put32(avih, 1000000 / fps); // microseconds per frame
    Put32(avih, largest * fps); // max bytes per second
    Put32(avih, 0);
    Put32(avih, 0x10); // has index
    Put32(avih, frames);
    Put32(avih, 0);
    Put32(avih, 1); // streams
    Put32(avih, largest);
    Put32(avih, w);
    Put32(avih, h);
    for (int i = 0; i < 4; ++i)
        Put32(avih, 0);

    QByteArray strh("vidsMJPG", 8);
    Put32(strh, 0);
    Put16(strh, 0);
    Put16(strh, 0);
    Put32(strh, 0);
    Put32(strh, 1);   // scale
    Put32(strh, fps); // rate
    Put32(strh, 0);
    Put32(strh, frames); // length
    Put32(strh, largest);
    Put32(strh, 0xffffffff);
    Put32(strh, 0);
    Put16(strh, 0);
    Put16(strh, 0);
    Put16(strh, quint16(w));
    Put16(strh, quint16(h));

    QByteArray strf;
    Put32(strf, 40);
    Put32(strf, w);
    Put32(strf, h);
    Put16(strf, 1);
    Put16(strf, 24);
    strf += QByteArray("MJPG", 4);
    Put32(strf, w * h * 3);
    for (int i = 0; i < 4; ++i)
        Put32(strf, 0);

    const QByteArray hdrl =
        List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf)));

    QByteArray movi;
    QByteArray idx;
    quint32 offset = 4; // offsets count from the 'movi' type field
    for (const QByteArray& jpg : jpegs) {
        const QByteArray c = Chunk("00dc", jpg);
        idx += QByteArray("00dc", 4);
        Put32(idx, 0x10); // key frame
        Put32(idx, offset);
        Put32(idx, quint32(jpg.size()));
        movi += c;
        offset += quint32(c.size());
    }
    const QByteArray body = QByteArray("AVI ", 4) + hdrl + List("movi", movi) + Chunk("idx1", idx);
    WriteAll(out, Chunk("RIFF", body));
}

int Usage() {
    std::fputs("usage: coursebuild db|page|picture|test|music|video|check ...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Pictures and frames are drawn with fonts, which need a GUI application but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 3) return Usage();
    try {
        const QString& cmd = a[1];
        if (cmd == QStringLiteral("db") && a.size() == 4)
            BuildDatabase(a[2], a[3]);
        else if (cmd == QStringLiteral("page") && a.size() == 6)
            BuildPage(a[2], a[3], a[4], a[5]);
        else if (cmd == QStringLiteral("picture") && a.size() == 5)
            BuildPicture(a[2], a[3], a[4].toInt());
        else if (cmd == QStringLiteral("test") && a.size() == 5)
            BuildTest(a[2], a[3], a[4]);
        else if (cmd == QStringLiteral("music") && a.size() == 3)
            BuildMusic(a[2]);
        else if (cmd == QStringLiteral("video") && a.size() == 3)
            BuildVideo(a[2]);
        else if (cmd == QStringLiteral("check") && a.size() == 3)
            CheckCourse(a[2]);
        else
            return Usage();
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "coursebuild: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "coursebuild: %s\n", e.what());
        return 1;
    }
    return 0;
}
