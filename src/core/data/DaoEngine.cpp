// Opening a database file: the checks before the engine sees it, the lock
// that keeps it for this process, the key, and the reading of every page;
// then the handles that share the open file.

#include "DaoInternal.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>

namespace dao {

namespace {

QString passphraseOf(const QString &connect)
{
    // ";pwd=secret" (other settings, if any, are separated by semicolons).
    static const QRegularExpression pwd(
        QStringLiteral("(?:^|;)\\s*pwd\\s*=([^;]*)"), QRegularExpression::CaseInsensitiveOption);
    const auto m = pwd.match(connect);
    return m.hasMatch() ? m.captured(1) : QString();
}

// Every open file of this process, by canonical path.
QHash<QString, std::weak_ptr<Connection>> &openConnections()
{
    static QHash<QString, std::weak_ptr<Connection>> connections;
    return connections;
}

QString canonical(const QString &path)
{
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? info.absoluteFilePath() : c;
}

// Reads every page of the file once. The cipher authenticates each page it
// reads, so any damage is found here, at open, before anything is written.
// The full check also compares every index with its table: a file whose
// indexes miss rows (a journal of another file played into it) would show
// those rows to no query.
void verifyWholeFile(Connection &conn)
{
    Connection::Statement st;
    conn.check(sqlite3_prepare_v2(conn.db, "PRAGMA integrity_check", -1, &st.stmt, nullptr));
    const int rc = sqlite3_step(st.stmt);
    if ((rc & 0xff) == SQLITE_IOERR || (rc & 0xff) == SQLITE_BUSY)
        conn.check(rc);
    if (rc != SQLITE_ROW || sqlite3_column_type(st.stmt, 0) != SQLITE_TEXT
        || std::strcmp(reinterpret_cast<const char *>(sqlite3_column_text(st.stmt, 0)), "ok") != 0)
        throw damaged(conn.path);
}

// A file that cannot hold an encrypted database at all, as opposed to one
// opened with the wrong key (the two look alike to the engine).
bool plainlyNotADatabase(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // An encrypted file is made of whole pages, and its first bytes are
    // cipher text, never the plain file's signature.
    constexpr qint64 kSmallestPageSize = 512;
    static const QByteArray plainSignature("SQLite format 3\0", 16);
    const qint64 size = f.size();
    if (size == 0 || size % kSmallestPageSize != 0)
        return true;
    return f.read(plainSignature.size()) == plainSignature;
}

// The first read of a file cut short fails as a malformed image: its first
// page opens with the key, but holds the length the file had.
bool firstReadMalformed(int rc)
{
    return (rc & 0xff) == SQLITE_CORRUPT;
}

// A file that is not whole pages but whose first page is one of ours.
bool cutShort(const QString &nativePath, const QString &passphrase)
{
    constexpr qint64 kPageSize = 1024;
    if (QFileInfo(nativePath).size() < kPageSize)
        return false;
    sqlite3 *db = nullptr;
    const QByteArray key = passphrase.toUtf8();
    bool ours
        = sqlite3_open_v2(QFile::encodeName(nativePath).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_key(db, key.constData(), static_cast<int>(key.size())) == SQLITE_OK
        && firstReadMalformed(sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr));
    sqlite3_close(db);
    return ours;
}

// What an existing file must be before the engine is given it: a readable
// file (writable too unless it is opened for reading), not plainly something
// else, and opened with a passphrase.
void checkBeforeOpening(const QString &path, const QString &nativePath, const QString &passphrase, bool readOnly)
{
    const QFileInfo info(nativePath);
    if (!info.exists())
        throw fileNotFound(path);
    if (!info.isFile())
        throw DbError(kCannotOpenFile, QStringLiteral("无法打开 '%1'：它是文件夹，不是数据库文件。").arg(path));
    if (!info.isReadable())
        throw DbError(kCannotOpenFile, QStringLiteral("无法打开文件 '%1'：没有读取权限。").arg(path));
    if (!readOnly && !info.isWritable())
        throw DbError(kCannotOpenFile,
            QStringLiteral("无法打开文件 '%1' 进行写入：文件是只读的，或所在的磁盘不可写。").arg(path));
    if (plainlyNotADatabase(nativePath))
        throw !passphrase.isEmpty() && cutShort(nativePath, passphrase) ? truncatedFile(path)
                                                                        : unrecognizedFormat(path);
    if (passphrase.isEmpty()) // the file is always encrypted
        throw invalidPassword();
}

void createEmptyFile(const QString &path, const QString &nativePath)
{
    if (QFileInfo(nativePath).exists())
        throw DbError(kCannotOpenFile, QStringLiteral("文件 '%1' 已存在。").arg(path));
    // Created empty (and never by this call over an existing file), so
    // that the lock below is taken on the new file itself; readable by its
    // owner alone, whatever the umask.
    QFile created(nativePath);
    if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw DbError(kCannotOpenFile, QStringLiteral("无法创建文件 '%1'：%2").arg(path, created.errorString()));
}

void lockFile(Connection &conn, const QString &nativePath, bool readOnly)
{
    // One process at a time: a lock that the system drops when the
    // process ends, however it ends. It is taken before the engine opens
    // the file, and the file must still be the one locked once the engine
    // has it: a file renamed over it in between (a rebuild) is refused as
    // in use rather than written where nobody will read it. Readers
    // share the file with readers.
    switch (conn.lock.lock(nativePath, readOnly)) {
    case platform::FileLock::Result::Locked:
        break;
    case platform::FileLock::Result::InUse:
        throw DbError(kFileInUse, QStringLiteral("无法使用 '%1'；文件已在使用中。").arg(conn.path));
    case platform::FileLock::Result::Failed:
        throw DbError(kCannotOpenFile, QStringLiteral("无法打开文件 '%1'。").arg(conn.path));
    }
}

// Hands the locked file to the engine, and makes sure it is still the file locked.
void openInEngine(Connection &conn, const QString &nativePath, bool readOnly)
{
    const QByteArray file = QFile::encodeName(nativePath);
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(file.constData(), &conn.db, flags, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(kCannotOpenFile,
            QStringLiteral("无法打开文件 '%1'：%2").arg(conn.path, QString::fromUtf8(sqlite3_errstr(rc))));
    if (!conn.lock.holds(nativePath))
        throw DbError(kFileInUse, QStringLiteral("无法使用 '%1'；文件正被替换。").arg(conn.path));
}

// Applies the passphrase and reads the first page, which only the right key decrypts.
void applyKey(Connection &conn)
{
    const QByteArray key = conn.passphrase.toUtf8();
    conn.check(sqlite3_key(conn.db, key.constData(), static_cast<int>(key.size())));
    sqlite3_busy_timeout(conn.db, 0);
    const int rc = sqlite3_exec(conn.db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_NOTADB)
        throw invalidPassword(conn.path);
    if (firstReadMalformed(rc))
        throw truncatedFile(conn.path);
    conn.check(rc);
}

std::shared_ptr<Connection> openConnection(const QString &path, const QString &passphrase, bool create, bool readOnly)
{
    const QString nativePath = QFileInfo(path).absoluteFilePath();
    if (!create)
        checkBeforeOpening(path, nativePath, passphrase, readOnly);

    auto conn = std::make_shared<Connection>();
    conn->path = path;
    conn->passphrase = passphrase;
    if (create)
        createEmptyFile(path, nativePath);
    lockFile(*conn, nativePath, readOnly);
    openInEngine(*conn, nativePath, readOnly);
    applyKey(*conn);
    if (!create)
        verifyWholeFile(*conn);
    if (readOnly)
        return conn; // a reader of its own, never shared with the writing handles
    if (sqlite3_db_readonly(conn->db, "main") == 1)
        throw DbError(kCannotOpenFile, QStringLiteral("无法打开文件 '%1' 进行写入：文件是只读的。").arg(path));
    sqlite3_commit_hook(conn->db, &Connection::beforeCommit, conn.get());
    openConnections().insert(canonical(nativePath), conn);
    return conn;
}

} // namespace

// ---- DBEngine ----

Database DBEngine::OpenDatabase(const QString &path, bool exclusive, bool readOnly, const QString &connect)
{
    Q_UNUSED(exclusive); // the file is always held for this process alone
    const QString passphrase = passphraseOf(connect);
    if (const auto held = openConnections().value(canonical(path)).lock()) {
        if (held->passphrase != passphrase)
            throw invalidPassword();
        return Database(held);
    }
    return Database(openConnection(path, passphrase, false, readOnly));
}

Database DBEngine::OpenDatabase(const QString &path)
{
    if (!QFileInfo::exists(path))
        throw fileNotFound(path);
    if (const auto held = openConnections().value(canonical(path)).lock())
        return Database(held);
    throw invalidPassword();
}

Database DBEngine::CreateDatabase(const QString &path, const QString &connect)
{
    return Database(openConnection(path, passphraseOf(connect), true, false));
}

} // namespace dao
