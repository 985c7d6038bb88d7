#include "texts/Texts.h"

#include <QFile>
#include <QHash>

namespace {
QHash<long, QString> Texts;
bool TextsLoaded = false;

QString Unescape(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const QChar next = s[++i];
        if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else
            out += next; // "\\" and any other escaped character stand for themselves
    }
    return out;
}
} // namespace

bool LoadLanguageFile(const QString& path) {
    UnloadLanguage();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString content = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(content).split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0) continue;
        bool ok = false;
        const long id = line.left(tab).toLong(&ok);
        if (ok) Texts.insert(id, Unescape(line.mid(tab + 1)));
    }
    TextsLoaded = true;
    return true;
}

void UnloadLanguage() {
    Texts.clear();
    TextsLoaded = false;
}

bool LanguageLoaded() {
    return TextsLoaded;
}

QString LoadText(long id, int size) {
    const QString text = Texts.value(id);
    if (text.isEmpty()) return QString::asprintf("There is no string with ID=%li !", id);
    return size < 2 ? QString() : text.left(size - 2);
}

QString GetText(long id) {
    return LoadText(id, 4096);
}

bool HasText(long id) {
    return !Texts.value(id).isEmpty();
}
