#include "shell/Global.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QHash>
#include <QLocale>
#include <QMap>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSoundEffect>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <cstdio>

static void InitArtResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(art);
        return true;
    }();
    (void)done;
}

EThrownText::EThrownText(QString text) : TextValue(std::move(text)), Utf8(TextValue.toUtf8()) {}

EResNotFound::EResNotFound(const QString& name)
    : std::runtime_error(("Resource " + name + " not found").toStdString()) {}

// --- Value formatting -------------------------------------------------------------------------

namespace {
// The decimal exponent of x after rounding to three significant digits (x > 0).
int RoundedExponent(double x) {
    if (!std::isfinite(x)) return 0; // printed as "inf" or "nan": no exponent to read
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2e", x);
    return std::atoi(std::strchr(buf, 'e') + 1);
}

// Infinity and NaN reach the formatting only through a fault elsewhere; they are shown as what
// they are rather than as digits.
QString NonFinite(double x) {
    return std::isnan(x) ? QStringLiteral("NaN") : QStringLiteral("\u221E");
}

QString StripZeros(QString s) {
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    return s;
}

QString WithUserSeparator(QString s) {
    return s.replace(u'.', QLocale().decimalPoint());
}

// Fixed notation with as many decimals as three significant digits need; 999.9 gives "1000".
QString FixedThreeDigits(double x) {
    const int decimals = std::max(0, 2 - RoundedExponent(x));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
    return WithUserSeparator(StripZeros(QString::fromLatin1(buf)));
}
} // namespace

QString FormatGeneral3(double x) {
    if (std::isnan(x)) return NonFinite(x);
    if (x == 0) return "0";
    if (x < 0) return "-" + FormatGeneral3(-x);
    if (std::isinf(x)) return NonFinite(x);
    const int e = RoundedExponent(x);
    if (e >= -5 && e < 3) return FixedThreeDigits(x);
    // Scientific: mantissa without trailing zeros, "E", the exponent without plus sign or padding.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2e", x);
    const QString mantissa = StripZeros(QString::fromLatin1(buf, int(std::strchr(buf, 'e') - buf)));
    return WithUserSeparator(mantissa) + "E" + QString::number(e);
}

QString FormatPrefixed(double x) {
    if (std::isnan(x)) return NonFinite(x) + " ";
    QString text;
    if (!(x >= 0)) {
        text = "-";
        x = -x;
    }
    if (x == 0 || x < 1E-12) return text + "0 ";

    struct Band {
        double Lower;
        double Scale;
        long PrefixId; // 0: no prefix
    };
    // text ids: 170-176
    static const Band bands[] = {
        {1E9, 1E-9, 176},   {1E6, 1E-6, 175}, {1000, 0.001, 174}, {1, 1, 0},
        {0.001, 1000, 173}, {1E-6, 1E6, 172}, {1E-9, 1E9, 171},   {1E-12, 1E12, 170},
    };
    if (std::isinf(x)) return text + NonFinite(x) + " ";
    // Tera is the last prefix: from 1000 T on, the general format turns to powers of ten
    // ("1E48 T" for the 1E60 ohms of a burnt part) rather than writing out every digit.
    if (x >= 1E12)
        return text + (x < 1E15 ? FixedThreeDigits(x * 1E-12) : FormatGeneral3(x * 1E-12)) + " T";
    for (const Band& band : bands) {
        if (x >= band.Lower) {
            text += FixedThreeDigits(x * band.Scale) + " ";
            if (band.PrefixId) text += GetText(band.PrefixId);
            return text;
        }
    }
    return text + "0 "; // not reached: x >= 1E-12 here
}

QString FormatValue(double x) {
    const double m = std::fabs(x);
    if (!std::isfinite(m)) return NonFinite(m);
    if (m < 1E-30) return "0";
    if (m < 1E-12 || m > 1E15) return FormatGeneral3(m);
    return FormatPrefixed(m);
}

// --- Pictures and cursors ---------------------------------------------------------------------

namespace {
int Progress = 0;
std::function<void(int)> ProgressObserver;
QMap<int, QCursor> Cursors;

QString BitmapPath(const QString& name) {
    return ":/art/" + name + ".png";
}

bool PicturesWanted = true;

QImage LoadBitmapResource(const QString& name) {
    InitArtResources();
    if (!PicturesWanted) {
        // No one will see it: a clear pixel stands for the picture, unless there is none.
        if (!QFile::exists(BitmapPath(name))) throw EResNotFound(name);
        QImage clear(1, 1, QImage::Format_ARGB32_Premultiplied);
        clear.fill(Qt::transparent);
        return clear;
    }
    QImage image(BitmapPath(name));
    if (image.isNull()) throw EResNotFound(name);
    if (!image.hasAlphaChannel()) {
        // The drawing library's automatic transparency: the bottom-left pixel's colour is clear.
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb clear = image.pixel(0, image.height() - 1);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] == clear) line[x] = 0;
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
} // namespace

bool HasBitmapResource(const QString& name) {
    InitArtResources();
    return QFile::exists(BitmapPath(name));
}

QImage LoadTransparentBitmap(const QString& name) {
    return LoadBitmapResource(name);
}

QImage LoadTransposedBitmap(const QString& name) {
    const QImage source = LoadBitmapResource(name);
    QImage target(source.height(), source.width(), source.format());
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x)
            reinterpret_cast<QRgb*>(target.scanLine(x))[y] = line[x];
    }
    ++Progress;
    if (ProgressObserver) ProgressObserver(Progress);
    return target;
}

QImage LoadJpegResource(const QString& name) {
    InitArtResources();
    if (!PicturesWanted) return QImage();
    return QImage(":/art/" + name + ".jpg", "JPG");
}

void SetPicturesWanted(bool wanted) {
    PicturesWanted = wanted;
}

QCursor BitmapToCursor(const QImage& picture) {
    if (picture.isNull()) return QCursor();
    QImage colour = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb clear = colour.pixel(0, 0);
    for (int y = 0; y < colour.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(colour.scanLine(y));
        for (int x = 0; x < colour.width(); ++x)
            if (line[x] == clear) line[x] = 0; // masked out: nothing of it shows
    }
    return QCursor(QPixmap::fromImage(colour), colour.width() / 2, colour.height() / 2);
}

int LoadingProgress() {
    return Progress;
}

void SetLoadingProgressObserver(std::function<void(int)> observer) {
    ProgressObserver = std::move(observer);
}

void RegisterCursor(int number, const QCursor& cursor) {
    Cursors.insert(number, cursor);
}
void UnregisterCursor(int number) {
    Cursors.remove(number);
}
bool CursorRegistered(int number) {
    return Cursors.contains(number);
}

QCursor CursorByNumber(int number) {
    if (auto it = Cursors.constFind(number); it != Cursors.constEnd()) return *it;
    switch (number) {
    case -2:
        return Qt::ArrowCursor;
    case -3:
        return Qt::CrossCursor;
    case -4:
        return Qt::IBeamCursor;
    case -6:
        return Qt::SizeBDiagCursor;
    case -7:
        return Qt::SizeVerCursor;
    case -8:
        return Qt::SizeFDiagCursor;
    case -9:
        return Qt::SizeHorCursor;
    case -10:
        return Qt::UpArrowCursor;
    case -11:
        return Qt::WaitCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crNoDrop:
        return Qt::ForbiddenCursor;
    case -14:
        return Qt::SplitHCursor;
    case -15:
        return Qt::SplitVCursor;
    case -18:
        return Qt::ForbiddenCursor;
    case -19:
        return Qt::BusyCursor;
    case -20:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case -22:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// --- Sounds -----------------------------------------------------------------------------------

namespace {
std::function<void(const TSoundRequest&)> SoundSink;

// Sound names are matched without regard to letter case.
QString FindSound(const QString& name) {
    InitArtResources();
    static const QHash<QString, QString> byName = [] {
        QHash<QString, QString> map;
        QDirIterator it(":/art", {"*.wav"}, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            map.insert(QFileInfo(path).completeBaseName().toLower(), path);
        }
        return map;
    }();
    return byName.value(name.toLower());
}

// The one sound buffer of the program: a new sound stops and replaces the previous one.
void PlayOnSpeaker(const QString& path, bool wait) {
    if (!qApp) return;
    static QPointer<QSoundEffect> buffer;
    if (!buffer) buffer = new QSoundEffect(qApp);
    buffer->stop();
    buffer->setSource(QUrl("qrc" + path));
    buffer->play();
    if (!wait) return;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(buffer, &QSoundEffect::playingChanged, &loop, [&] {
        if (!buffer->isPlaying()) loop.quit();
    });
    QObject::connect(buffer, &QSoundEffect::statusChanged, &loop, [&] {
        if (buffer->status() == QSoundEffect::Error) loop.quit();
    });
    guard.start(10000);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

bool PlayWaveResource(const QString& name, bool wait) {
    const QString path = FindSound(name);
    const TSoundRequest request{name, !path.isEmpty(), wait};
    if (SoundSink) {
        SoundSink(request);
    } else if (request.Found) {
        PlayOnSpeaker(path, wait);
    }
    return request.Found;
}

void SetSoundSink(std::function<void(const TSoundRequest&)> sink) {
    SoundSink = std::move(sink);
}

// --- Message boxes ----------------------------------------------------------------------------

namespace {
std::function<int(const TMessageRequest&)> MessageHandler;

int ShowMessageBox(const TMessageRequest& r) {
    QMessageBox box(r.Owner);
    box.setWindowTitle(r.Caption);
    box.setText(r.Text);
    switch (r.Icon) {
    case TMsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case TMsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case TMsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case TMsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case TMsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QMap<QAbstractButton*, int> results;
    auto add = [&](QMessageBox::StandardButton b, int result) {
        results.insert(static_cast<QAbstractButton*>(box.addButton(b)), result);
    };
    switch (r.Buttons) {
    case TMsgButtons::Ok:
        add(QMessageBox::Ok, IdOk);
        break;
    case TMsgButtons::OkCancel:
        add(QMessageBox::Ok, IdOk);
        add(QMessageBox::Cancel, IdCancel);
        break;
    case TMsgButtons::YesNo:
        add(QMessageBox::Yes, IdYes);
        add(QMessageBox::No, IdNo);
        break;
    case TMsgButtons::YesNoCancel:
        add(QMessageBox::Yes, IdYes);
        add(QMessageBox::No, IdNo);
        add(QMessageBox::Cancel, IdCancel);
        break;
    case TMsgButtons::AbortRetryIgnore:
        add(QMessageBox::Abort, IdAbort);
        add(QMessageBox::Retry, IdRetry);
        add(QMessageBox::Ignore, IdIgnore);
        break;
    }
    box.exec();
    const int result = results.value(box.clickedButton(), 0);
    if (result) return result;
    // Closed without a button: the box's escape answer.
    switch (r.Buttons) {
    case TMsgButtons::Ok:
        return IdOk;
    case TMsgButtons::YesNo:
        return IdNo;
    case TMsgButtons::AbortRetryIgnore:
        return IdIgnore;
    default:
        return IdCancel;
    }
}
} // namespace

int ShowMessage(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                QWidget* owner) {
    const TMessageRequest request{text, caption, buttons, icon, owner};
    return MessageHandler ? MessageHandler(request) : ShowMessageBox(request);
}

void SetMessageHandler(std::function<int(const TMessageRequest&)> handler) {
    MessageHandler = std::move(handler);
}

// --- File dialogs -----------------------------------------------------------------------------

namespace {
std::function<QString(const TFileDialogRequest&)> FileDialogHandler;

// "Description|*.ext|..." as the dialog lists it: "Description (*.ext);;...".
QString DialogFilter(const QString& pairs) {
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        filters << (parts[i].contains(pattern) ? parts[i] : parts[i] + " (" + pattern + ")");
    }
    return filters.join(";;");
}
} // namespace

QString AskFileName(const TFileDialogRequest& r) {
    if (FileDialogHandler) return FileDialogHandler(r);
    QFileDialog dialog(r.Owner, r.Title, r.Folder, DialogFilter(r.Filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(r.DefaultSuffix);
    if (!r.Places.isEmpty()) {
        QList<QUrl> places;
        for (const QString& folder : r.Places)
            places << QUrl::fromLocalFile(folder);
        dialog.setSidebarUrls(places);
    }
    if (r.Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

void SetFileDialogHandler(std::function<QString(const TFileDialogRequest&)> handler) {
    FileDialogHandler = std::move(handler);
}

// --- Waiting ----------------------------------------------------------------------------------

namespace {
std::function<void(int)> WaitHandler;
}

void Wait(int ms) {
    if (WaitHandler) return WaitHandler(ms);
    // Pending paints go to the screen first; then the program stands still. Nothing else is
    // dispatched meanwhile (no timer, no message from another program), so no code runs in
    // the middle of whatever is waiting.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    QThread::msleep(ulong(std::max(0, ms)));
}

void SetWaitHandler(std::function<void(int)> handler) {
    WaitHandler = std::move(handler);
}

// --- Dragging -----------------------------------------------------------------------------------

namespace {
std::function<bool()> DragProbe;
}

bool DragInProgress() {
    return DragProbe && DragProbe();
}
void SetDragProbe(std::function<bool()> probe) {
    DragProbe = std::move(probe);
}

// --- Settings ---------------------------------------------------------------------------------

namespace {
QString SettingsPath = QStringLiteral(VEXILO_SETTINGS_FILE);
}

QString SettingsFilePath() {
    return SettingsPath;
}
void SetSettingsFilePath(const QString& path) {
    SettingsPath = path;
}

std::unique_ptr<QSettings> OpenSettings() {
    return std::make_unique<QSettings>(SettingsPath, QSettings::IniFormat);
}
