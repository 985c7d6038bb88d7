// The stored form of the package's passwords.
#include "platform/PasswordHash.h"

#include <QTest>

class TestPasswordHash : public QObject {
    Q_OBJECT

private slots:
    void hashMatchesOnlyItsPassword() {
        const QString hash = HashPassword("Учитель-2026");
        QVERIFY(IsPasswordHash(hash));
        QVERIFY(!hash.contains("Учитель"));
        QVERIFY(PasswordHashMatches("Учитель-2026", hash));
        QVERIFY(!PasswordHashMatches("учитель-2026", hash)); // the hash itself keeps letter case
        QVERIFY(!PasswordHashMatches("", hash));
        // A fresh salt every time: the same password never gives the same text.
        QVERIFY(HashPassword("x") != HashPassword("x"));
        QVERIFY(!IsPasswordHash("torvane"));
    }

    void malformedHashMatchesNothing_data() {
        const QString good = HashPassword("secret");
        const QStringList f = good.split('$'); // prefix, iterations, salt, key
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain text") << "secret";
        QTest::newRow("fields missing") << f[0] + "$" + f[1] + "$" + f[2];
        QTest::newRow("iterations not a number") << f[0] + "$many$" + f[2] + "$" + f[3];
        QTest::newRow("zero iterations") << f[0] + "$0$" + f[2] + "$" + f[3];
        // Counts that would keep a start-up busy for minutes are not even tried.
        QTest::newRow("absurd iterations") << f[0] + "$2000000000$" + f[2] + "$" + f[3];
        QTest::newRow("just past the limit")
            << f[0] + "$" + QString::number(MaxPasswordIterations + 1) + "$" + f[2] + "$" + f[3];
        QTest::newRow("salt not hex") << f[0] + "$" + f[1] + "$zz$" + f[3];
        QTest::newRow("key cut short") << f[0] + "$" + f[1] + "$" + f[2] + "$" + f[3].left(20);
        QTest::newRow("key of another password")
            << f[0] + "$" + f[1] + "$" + f[2] + "$" + HashPassword("other").split('$')[3];
    }

    void malformedHashMatchesNothing() {
        QFETCH(QString, stored);
        QVERIFY(!PasswordHashMatches("secret", stored));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_password_hash.moc"
