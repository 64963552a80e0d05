// zarn-db: creates the ledger database that the application opens but never
// creates or alters.
//   zarn-db init FILE [--demo] [--rows N [--seed S]]
#include "errors.h"
#include "ledgerfile.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usage(const QString &problem)
{
    err() << "zarn-db: " << problem << "\n"
          << "usage: zarn-db init FILE [--demo] [--rows N [--seed S]]\n"
          << "  init FILE   create FILE with the tables xmb and new (never overwrites)\n"
          << "  --demo      add two users and a few dozen ledger rows\n"
          << "  --rows N    add N deterministic synthetic rows (for benchmarks)\n"
          << "  --seed S    seed of the synthetic rows (default 1)\n";
    err().flush();
    return 2;
}

void showProgress(qint64 written, qint64 total)
{
    err() << "\r" << written << " / " << total << " rows";
    if (written == total)
        err() << "\n";
    err().flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));
    if (args.takeFirst() != u"init")
        return usage(QStringLiteral("unknown command"));
    QString file;
    bool demo = false;
    qint64 rows = 0;
    quint64 seed = 1;
    bool seedGiven = false;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == u"--demo") {
            demo = true;
        } else if (arg == u"--rows" || arg == u"--seed") {
            if (args.isEmpty())
                return usage(arg + QStringLiteral(" needs a number"));
            bool ok = false;
            const qlonglong value = args.takeFirst().toLongLong(&ok);
            if (!ok || value < 0)
                return usage(arg + QStringLiteral(" needs a whole number of at least 0"));
            if (arg == u"--rows") {
                rows = value;
            } else {
                seed = quint64(value);
                seedGiven = true;
            }
        } else if (arg.startsWith(u'-') || !file.isEmpty()) {
            return usage(QStringLiteral("unexpected argument '%1'").arg(arg));
        } else {
            file = arg;
        }
    }
    if (file.isEmpty())
        return usage(QStringLiteral("no FILE given"));
    if (seedGiven && rows == 0)
        return usage(QStringLiteral("--seed goes with --rows"));
    try {
        zarn::ledgerfile::create(file);
        if (demo)
            zarn::ledgerfile::addDemoData(file);
        if (rows > 0)
            zarn::ledgerfile::addSyntheticRows(file, rows, seed, showProgress);
    } catch (const zarn::Error &error) {
        err() << "zarn-db: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
