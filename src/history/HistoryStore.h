#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

// One stored run: the columns the history table shows, and the whole record as JSON.
struct HistoryEntry {
    qint64 id = 0;     // given by the store
    QDateTime started; // UTC
    QString target;
    QString device;
    QString kind;    // "single", "multiple" or "profile"
    QString outcome; // "complete", "stopped" or "failed"
    int files = 0;
    int megabytes = 0;
    double writeRate = 0; // MB/s, 0 when not measured
    double readRate = 0;
    QString options;
    QString profiles;  // each profile's best MB/s and IOPS; empty for the classic tests
    QByteArray record; // the run record's JSON object
};

// Why the store cannot be used, or what it had to do to become usable.
struct HistoryProblem {
    enum Kind {
        None,
        FolderNotCreated, // the folder of the file cannot be made
        ReadOnly,         // file or folder not writable
        Damaged,          // not a database: moved aside to movedTo, a new one made in its place
        NewerSchema,      // written by a newer program: left as it is
        Failed,           // any other database error
    };
    Kind kind = None;
    QString path;
    QString movedTo;
    QString detail; // the driver's message where there is one
};

// Every run that ended, kept in one SQLite file shared by the window and the runner. Each store
// is its own connection; write-ahead logging and a busy timeout let two processes write at once.
class HistoryStore {
public:
    static constexpr int kSchemaVersion = 2;

    // $XDG_DATA_HOME/veltaro/history.sqlite, else ~/.local/share/veltaro/history.sqlite.
    static QString DefaultPath();

    explicit HistoryStore(const QString &path = DefaultPath());
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Opens and migrates. False when the store cannot be used; Problem() then says why. True with
    // a Damaged problem when the old file was moved aside and a new one made.
    bool Open();
    bool IsOpen() const { return m_open; }
    const HistoryProblem &Problem() const { return m_problem; }
    QString Path() const { return m_path; }

    // What makes a stored record readable; by default any JSON object. Rows failing it are skipped.
    void SetRecordCheck(std::function<bool(const QByteArray &)> check) { m_check = std::move(check); }

    // Stores entry and sets its id. False on a database error (Problem() has it).
    bool Add(HistoryEntry &entry);

    struct Listing {
        QList<HistoryEntry> entries; // newest first
        int skipped = 0;             // rows whose record could not be read
    };
    // withRecords false leaves HistoryEntry::record empty except for the check that it is readable.
    Listing ReadAll(bool withRecords = false);
    // The entries with these ids, records included, in the order asked for; unreadable ones left out.
    QList<HistoryEntry> Read(const QList<qint64> &ids);
    bool Remove(const QList<qint64> &ids);

private:
    struct Step {
        HistoryProblem::Kind kind = HistoryProblem::None;
        QString detail;
    };
    // Opens the connection, checks the version and migrates; the connection stays for Close().
    Step Connect();
    bool Fail(HistoryProblem::Kind kind, const QString &detail);
    void Close();

    QString m_path;
    QString m_connection;
    bool m_open = false;
    HistoryProblem m_problem;
    std::function<bool(const QByteArray &)> m_check;
};
