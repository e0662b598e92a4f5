#include "history/HistoryStore.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

namespace {

// SQLite's result codes as the driver reports them in nativeErrorCode().
const QString kNotADatabase = QStringLiteral("26");
const QString kCorrupt = QStringLiteral("11");
const QString kReadOnly = QStringLiteral("8");

// Step n takes the file from user_version n to n + 1. Steps are only ever appended.
const char *const kMigrations[] = {
    "CREATE TABLE runs ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " started TEXT NOT NULL,"
    " target TEXT NOT NULL,"
    " device TEXT NOT NULL,"
    " kind TEXT NOT NULL,"
    " outcome TEXT NOT NULL,"
    " files INTEGER NOT NULL,"
    " megabytes INTEGER NOT NULL,"
    " write_rate REAL NOT NULL,"
    " read_rate REAL NOT NULL,"
    " options TEXT NOT NULL,"
    " record TEXT NOT NULL);"
    "CREATE INDEX runs_started ON runs(started);",
    // The profile test's figures, one short text per run; empty for the classic tests.
    "ALTER TABLE runs ADD COLUMN profiles TEXT NOT NULL DEFAULT '';",
};
static_assert(std::size(kMigrations) == HistoryStore::kSchemaVersion);

QString NextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("veltaro-history-%1").arg(counter.fetchAndAddRelaxed(1));
}

bool IsDamage(const QSqlError &e)
{
    return e.nativeErrorCode() == kNotADatabase || e.nativeErrorCode() == kCorrupt;
}

// "history.sqlite.damaged-2026-12-07_00-31-05", with a counter when that name is taken.
QString MoveAside(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString target = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(path, target))
        return {};
    // The journal files belong to the damaged file; they go with it so the new file starts clean.
    for (const char *suffix : {"-wal", "-shm"})
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            QFile::rename(path + QLatin1String(suffix), target + QLatin1String(suffix));
    return target;
}

HistoryEntry EntryFrom(const QSqlQuery &q)
{
    HistoryEntry e;
    e.id = q.value(0).toLongLong();
    e.started = QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs);
    e.target = q.value(2).toString();
    e.device = q.value(3).toString();
    e.kind = q.value(4).toString();
    e.outcome = q.value(5).toString();
    e.files = q.value(6).toInt();
    e.megabytes = q.value(7).toInt();
    e.writeRate = q.value(8).toDouble();
    e.readRate = q.value(9).toDouble();
    e.options = q.value(10).toString();
    e.record = q.value(11).toByteArray();
    e.profiles = q.value(12).toString();
    return e;
}

// A null QString binds as SQL NULL, which the NOT NULL columns refuse.
QString Text(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

bool Readable(const HistoryEntry &e, const std::function<bool(const QByteArray &)> &check)
{
    if (!e.started.isValid())
        return false;
    return check ? check(e.record) : QJsonDocument::fromJson(e.record).isObject();
}

const char kSelect[] = "SELECT id, started, target, device, kind, outcome, files, megabytes, write_rate, read_rate,"
                       " options, record, profiles FROM runs";

} // namespace

QString HistoryStore::DefaultPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/veltaro/history.sqlite");
}

HistoryStore::HistoryStore(const QString &path) : m_path(path), m_connection(NextConnectionName())
{
    m_problem.path = path;
}

HistoryStore::~HistoryStore()
{
    Close();
}

void HistoryStore::Close()
{
    m_open = false;
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

bool HistoryStore::Fail(HistoryProblem::Kind kind, const QString &detail)
{
    m_problem.kind = kind;
    m_problem.detail = detail;
    Close();
    return false;
}

bool HistoryStore::Open()
{
    Close();
    m_problem = HistoryProblem{};
    m_problem.path = m_path;
    const QFileInfo file(m_path);
    if (!QDir().mkpath(file.absolutePath()))
        return Fail(HistoryProblem::FolderNotCreated, {});
    // SQLite would open such a file read-only without a word and fail at the first write.
    if ((file.exists() && !file.isWritable()) || !QFileInfo(file.absolutePath()).isWritable())
        return Fail(HistoryProblem::ReadOnly, {});

    Step step = Connect();
    if (step.kind == HistoryProblem::Damaged) {
        Close();
        m_problem.movedTo = MoveAside(m_path);
        if (m_problem.movedTo.isEmpty())
            return Fail(HistoryProblem::Damaged, step.detail);
        const QString why = step.detail;
        step = Connect();
        if (step.kind == HistoryProblem::None) {
            // Usable again; the problem stays to tell the user where the old file went.
            m_problem.kind = HistoryProblem::Damaged;
            m_problem.detail = why;
        }
    }
    if (step.kind != HistoryProblem::None)
        return Fail(step.kind == HistoryProblem::Damaged ? HistoryProblem::Failed : step.kind, step.detail);
    m_open = true;
    return true;
}

HistoryStore::Step HistoryStore::Connect()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open())
        return {HistoryProblem::Failed, db.lastError().text()};
    QSqlQuery q(db);
    // The version is read before anything is written, so a newer file stays exactly as it was.
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        const QSqlError e = q.lastError();
        return {IsDamage(e) ? HistoryProblem::Damaged : HistoryProblem::Failed, e.text()};
    }
    if (q.value(0).toInt() > kSchemaVersion)
        return {HistoryProblem::NewerSchema, q.value(0).toString()};
    q.finish();
    const auto failed = [&q, &db] {
        const QSqlError e = q.lastError();
        const HistoryProblem::Kind kind = e.nativeErrorCode() == kReadOnly ? HistoryProblem::ReadOnly
                                          : IsDamage(e)                    ? HistoryProblem::Damaged
                                                                           : HistoryProblem::Failed;
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return Step{kind, e.text()};
    };
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        return failed();
    q.finish();
    // Read again under the write lock: another process may have migrated meanwhile.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed();
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return failed();
    const int version = q.value(0).toInt();
    q.finish();
    if (version > kSchemaVersion) {
        q.exec(QStringLiteral("ROLLBACK"));
        return {HistoryProblem::NewerSchema, QString::number(version)};
    }
    for (int n = version; n < kSchemaVersion; ++n) {
        for (const QString &statement : QString::fromLatin1(kMigrations[n]).split(u';', Qt::SkipEmptyParts))
            if (!q.exec(statement))
                return failed();
        if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(n + 1)))
            return failed();
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return failed();
    return {};
}

bool HistoryStore::Add(HistoryEntry &entry)
{
    if (!m_open)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT INTO runs (started, target, device, kind, outcome, files, megabytes, write_rate,"
                             " read_rate, options, record, profiles) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(entry.started.toUTC().toString(Qt::ISODateWithMs));
    q.addBindValue(Text(entry.target));
    q.addBindValue(Text(entry.device));
    q.addBindValue(Text(entry.kind));
    q.addBindValue(Text(entry.outcome));
    q.addBindValue(entry.files);
    q.addBindValue(entry.megabytes);
    q.addBindValue(entry.writeRate);
    q.addBindValue(entry.readRate);
    q.addBindValue(Text(entry.options));
    q.addBindValue(QString::fromUtf8(entry.record));
    q.addBindValue(Text(entry.profiles));
    if (!q.exec()) {
        m_problem.kind = HistoryProblem::Failed;
        m_problem.detail = q.lastError().text();
        return false;
    }
    entry.id = q.lastInsertId().toLongLong();
    return true;
}

HistoryStore::Listing HistoryStore::ReadAll(bool withRecords)
{
    Listing listing;
    if (!m_open)
        return listing;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QLatin1String(kSelect) + QStringLiteral(" ORDER BY started DESC, id DESC")))
        return listing;
    while (q.next()) {
        HistoryEntry e = EntryFrom(q);
        if (!Readable(e, m_check)) {
            ++listing.skipped;
            continue;
        }
        if (!withRecords)
            e.record.clear();
        listing.entries << e;
    }
    return listing;
}

QList<HistoryEntry> HistoryStore::Read(const QList<qint64> &ids)
{
    QList<HistoryEntry> found;
    if (!m_open)
        return found;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QLatin1String(kSelect) + QStringLiteral(" WHERE id = ?"));
    for (qint64 id : ids) {
        q.bindValue(0, id);
        if (q.exec() && q.next()) {
            HistoryEntry e = EntryFrom(q);
            if (Readable(e, m_check))
                found << e;
        }
        q.finish();
    }
    return found;
}

bool HistoryStore::Remove(const QList<qint64> &ids)
{
    if (!m_open)
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM runs WHERE id = ?"));
    for (qint64 id : ids) {
        q.bindValue(0, id);
        if (!q.exec()) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}
