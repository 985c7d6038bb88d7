#include "schemefile/SchemeIO.h"

#include <cstring>

int FormatVersion = Version12;

// The five characters before the first zero byte of a template that the file's first 19 bytes
// are read over: a short file keeps the template's characters and reads as version 1.0.
int ReadSchemeVersion(QIODevice& file) {
    char buffer[20] = "Yarv's scheme 1.0\r\n";
    const qint64 got = file.read(buffer, 19);
    Q_UNUSED(got);
    const char* zero = static_cast<const char*>(std::memchr(buffer, 0, sizeof buffer));
    const qsizetype end = zero - buffer;
    if (end < 5) return 0;
    const QByteArray tail(buffer + end - 5, 5);
    if (tail == "1.0\r\n") return Version10;
    if (tail == "1.1\r\n") return Version11;
    if (tail == "1.2\r\n") return Version12;
    return 0;
}

double ReadSchemeOmega(QIODevice& file) {
    char omega[8];
    const double value = file.read(omega, 8) == 8 ? qFromLittleEndian<double>(omega) : 0.0;
    if (!std::isfinite(value))
        throw ESchemeIO("the scheme file's frequency is not a finite number",
                        TSchemeFault::NotANumber);
    return value;
}
