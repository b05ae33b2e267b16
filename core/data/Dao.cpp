#include "Dao.h"

#include "Conversions.h"
#include "platform/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace dao {

namespace {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString passphraseOf(const QString &connect)
{
    // ";pwd=secret" (other settings, if any, are separated by semicolons).
    static const QRegularExpression pwd(
        QStringLiteral("(?:^|;)\\s*pwd\\s*=([^;]*)"), QRegularExpression::CaseInsensitiveOption);
    const auto m = pwd.match(connect);
    return m.hasMatch() ? m.captured(1) : QString();
}

DbError damaged(const QString &path)
{
    return DbError(kDamagedFile, QStringLiteral("数据库文件 '%1' 已损坏，无法使用。").arg(path));
}

DbError tableNotFound(const QString &table)
{
    return DbError(kTableNotFound, QStringLiteral("找不到输入表或查询 '%1'。").arg(table));
}

DbError fileNotFound(const QString &path)
{
    return DbError(kFileNotFound, QStringLiteral("找不到文件 '%1'。").arg(path));
}

DbError conversionError()
{
    return DbError(kConversionError, QStringLiteral("数据类型转换错误。"));
}

DbError readOnly()
{
    return DbError(kReadOnly, QStringLiteral("不能更新。数据库或对象为只读。"));
}

DbError unrecognizedFormat(const QString &path)
{
    return DbError(kUnrecognizedFormat, QStringLiteral("无法识别的数据库格式 '%1'。").arg(path));
}

DbError noCurrentRecord()
{
    return DbError(kNoCurrentRecord, QStringLiteral("无当前记录。"));
}

DbError updateWithoutEdit()
{
    return DbError(kUpdateWithoutEdit, QStringLiteral("没有 AddNew 或 Edit 就进行了更新。"));
}

DbError overflow()
{
    return DbError(kOverflow, QStringLiteral("溢出。"));
}

DbError invalidUseOfNull()
{
    return DbError(kInvalidUseOfNull, QStringLiteral("无效使用 Null。"));
}

[[noreturn]] void raiseFromSqlite(int code, const QString &message, const QString &context = {})
{
    switch (code & 0xff) {
    case SQLITE_CORRUPT:
        throw damaged(context);
    case SQLITE_FULL:
        throw DbError(kDiskFull, QStringLiteral("磁盘空间不足。"));
    case SQLITE_READONLY:
        throw readOnly();
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw DbError(kFileInUse, QStringLiteral("数据库正被其他程序使用，暂时不能写入。"));
    case SQLITE_NOTADB:
        throw unrecognizedFormat(context);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        throw DbError(kCannotOpenFile, QStringLiteral("无法读写数据库文件 '%1'：%2").arg(context, message));
    default:
        break;
    }
    if (message.startsWith(QStringLiteral("no such table")))
        throw tableNotFound(message.section(QLatin1Char(':'), 1).trimmed());
    if (message.startsWith(QStringLiteral("no such column")))
        throw DbError(kItemNotFound, QStringLiteral("在此集合中找不到项目。(%1)").arg(message));
    throw DbError(kEngineFailure, QStringLiteral("数据库引擎错误：%1").arg(message));
}

} // namespace

// One open file: the SQLite connection, the process's lock on the file and
// the column types of its tables. Shared by every handle on the file.
class Connection {
public:
    Connection() = default;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    ~Connection()
    {
        if (db)
            sqlite3_close_v2(db);
    }

    void check(int rc) const
    {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
            raiseFromSqlite(rc, QString::fromUtf8(sqlite3_errmsg(db)), path);
    }

    // A prepared statement, finalized when it goes out of scope.
    struct Statement {
        sqlite3_stmt *stmt = nullptr;
        ~Statement() { sqlite3_finalize(stmt); }
    };

    void prepare(Statement &st, const QString &sql, const QVariantList &params) const
    {
        const QByteArray utf8 = sql.toUtf8();
        check(sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &st.stmt, nullptr));
        for (int i = 0; i < params.size(); ++i)
            bind(st.stmt, i + 1, params.at(i));
    }

    void bind(sqlite3_stmt *stmt, int index, const QVariant &v) const
    {
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, index);
        } else {
            switch (v.metaType().id()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt, index, v.toDouble());
                break;
            default: {
                const QByteArray utf8 = v.toString().toUtf8();
                rc = sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
            }
            }
        }
        check(rc);
    }

    static QVariant columnValue(sqlite3_stmt *stmt, int col)
    {
        switch (sqlite3_column_type(stmt, col)) {
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_column_int64(stmt, col);
            if (v >= INT_MIN && v <= INT_MAX)
                return QVariant(static_cast<int>(v));
            return QVariant(static_cast<qlonglong>(v));
        }
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt, col));
        case SQLITE_TEXT:
            return QVariant(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(stmt, col)), sqlite3_column_bytes(stmt, col)));
        case SQLITE_BLOB:
            return QVariant(
                QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, col)), sqlite3_column_bytes(stmt, col)));
        default:
            return {};
        }
    }

    int exec(const QString &sql, const QVariantList &params = {})
    {
        Statement st;
        prepare(st, sql, params);
        int rc;
        while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) { }
        check(rc);
        return sqlite3_changes(db);
    }

    const QList<std::pair<QString, ColumnType>> &columns(const QString &table)
    {
        const QString key = table.toLower();
        auto it = tableColumns.find(key);
        if (it != tableColumns.end())
            return *it;
        QList<std::pair<QString, ColumnType>> cols;
        Statement st;
        prepare(st, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)), {});
        int rc;
        while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
            const QString name = columnValue(st.stmt, 1).toString();
            const QString decl = columnValue(st.stmt, 2).toString().toUpper();
            ColumnType type = ColumnType::Other;
            if (decl.contains(QStringLiteral("CHAR")) || decl.contains(QStringLiteral("TEXT")))
                type = ColumnType::Text;
            else if (decl == QStringLiteral("SMALLINT"))
                type = ColumnType::Int16;
            else if (decl.contains(QStringLiteral("INT")))
                type = ColumnType::Integer;
            else if (decl.contains(QStringLiteral("DOUB")) || decl.contains(QStringLiteral("REAL"))
                || decl.contains(QStringLiteral("FLOA")))
                type = ColumnType::Double;
            cols.append({name, type});
        }
        check(rc);
        if (cols.isEmpty())
            throw tableNotFound(table);
        return *tableColumns.insert(key, cols);
    }

    // Runs as the engine stores each change, before it is stored.
    static int beforeCommit(void *self)
    {
        auto *conn = static_cast<Connection *>(self);
        ++conn->commits;
        if (conn->onCommit)
            conn->onCommit();
        return 0; // let the commit go ahead
    }

    sqlite3 *db = nullptr;
    quint64 commits = 0;
    std::function<void()> onCommit;
    platform::FileLock lock; // released after the engine has closed the file
    QString path;
    QString passphrase;
    int transactionDepth = 0;
    QHash<QString, QList<std::pair<QString, ColumnType>>> tableColumns;
};

namespace {

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

DbError invalidPassword(const QString &path = {})
{
    if (path.isEmpty())
        return DbError(kInvalidPassword, QStringLiteral("密码无效。"));
    // A file encrypted with another key and a damaged or random one look
    // alike to the engine: the message names both.
    return DbError(kInvalidPassword,
        QStringLiteral("密码无效。数据库文件 '%1' 不能用本系统的密码打开：它可能已损坏，或者不是本系统的数据库。")
            .arg(path));
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

std::shared_ptr<Connection> openConnection(const QString &path, const QString &passphrase, bool create, bool readOnly)
{
    const QString nativePath = QFileInfo(path).absoluteFilePath();
    const QFileInfo info(nativePath);
    if (create) {
        if (info.exists())
            throw DbError(kCannotOpenFile, QStringLiteral("文件 '%1' 已存在。").arg(path));
    } else {
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
            throw unrecognizedFormat(path);
        if (passphrase.isEmpty()) // the file is always encrypted
            throw invalidPassword();
    }

    auto conn = std::make_shared<Connection>();
    conn->path = path;
    conn->passphrase = passphrase;
    const QByteArray file = QFile::encodeName(nativePath);
    if (create) {
        // Created empty (and never by this call over an existing file), so
        // that the lock below is taken on the new file itself.
        QFile created(nativePath);
        if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw DbError(kCannotOpenFile, QStringLiteral("无法创建文件 '%1'：%2").arg(path, created.errorString()));
    }

    {
        // One process at a time: a lock that the system drops when the
        // process ends, however it ends. It is taken before the engine opens
        // the file, and the file must still be the one locked once the engine
        // has it: a file renamed over it in between (a rebuild) is refused as
        // in use rather than written where nobody will read it. Readers
        // share the file with readers.
        switch (conn->lock.lock(nativePath, readOnly)) {
        case platform::FileLock::Result::Locked:
            break;
        case platform::FileLock::Result::InUse:
            throw DbError(kFileInUse, QStringLiteral("无法使用 '%1'；文件已在使用中。").arg(path));
        case platform::FileLock::Result::Failed:
            throw DbError(kCannotOpenFile, QStringLiteral("无法打开文件 '%1'。").arg(path));
        }
    }

    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    int rc = sqlite3_open_v2(file.constData(), &conn->db, flags, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(
            kCannotOpenFile, QStringLiteral("无法打开文件 '%1'：%2").arg(path, QString::fromUtf8(sqlite3_errstr(rc))));
    if (!conn->lock.holds(nativePath))
        throw DbError(kFileInUse, QStringLiteral("无法使用 '%1'；文件正被替换。").arg(path));

    const QByteArray key = passphrase.toUtf8();
    conn->check(sqlite3_key(conn->db, key.constData(), static_cast<int>(key.size())));
    sqlite3_busy_timeout(conn->db, 0);
    rc = sqlite3_exec(conn->db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_NOTADB)
        throw invalidPassword(path);
    conn->check(rc);
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

// ---- Database ----

quint64 Database::changesStored() const
{
    return connection().commits;
}

void Database::beforeEachChange(std::function<void()> callback)
{
    connection().onCommit = std::move(callback);
}

Connection &Database::connection() const
{
    if (!m_conn)
        throw DbError(kEngineFailure, QStringLiteral("数据库未打开。"));
    return *m_conn;
}

const QString &Database::path() const
{
    return connection().path;
}

int Database::Execute(const QString &statement, const QVariantList &parameters)
{
    Connection &conn = connection();
    // A statement that changes a table's columns outdates what is known of them.
    if (!statement.trimmed().startsWith(QStringLiteral("INSERT"), Qt::CaseInsensitive)
        && !statement.trimmed().startsWith(QStringLiteral("UPDATE"), Qt::CaseInsensitive)
        && !statement.trimmed().startsWith(QStringLiteral("DELETE"), Qt::CaseInsensitive))
        conn.tableColumns.clear();
    return conn.exec(statement, parameters);
}

QStringList Database::TableColumns(const QString &table)
{
    QStringList names;
    for (const auto &column : connection().columns(table))
        names.append(column.first);
    return names;
}

namespace {

// A bare name, as tables are named: letters, digits and underscores.
bool isName(const QString &source)
{
    return !source.isEmpty()
        && std::all_of(source.begin(), source.end(), [](QChar c) { return c.isLetterOrNumber() || c == u'_'; });
}

} // namespace

Recordset Database::OpenRecordset(const QString &source, const QVariantList &parameters)
{
    if (isName(source)) {
        if (!parameters.isEmpty())
            throw DbError(kEngineFailure, QStringLiteral("表 '%1' 不带参数。").arg(source));
        return OpenTable(source);
    }
    return open(source, QString(), parameters);
}

Recordset Database::OpenTable(const QString &table, const QString &condition, const QVariantList &parameters)
{
    if (!isName(table))
        throw tableNotFound(table);
    // The condition stands on lines of its own, so that a comment at its end
    // ends with it.
    const QString where = condition.isEmpty() ? QString() : QStringLiteral(" WHERE (\n%1\n)").arg(condition);
    return open(
        QStringLiteral("SELECT rowid, * FROM %1%2 ORDER BY rowid").arg(quoted(table), where), table, parameters);
}

// Reads the rows of a statement; with a table, its first column is the
// rowid that editing needs.
Recordset Database::open(const QString &sql, const QString &table, const QVariantList &parameters)
{
    Connection &conn = connection();
    Recordset rs;
    rs.m_conn = m_conn;
    rs.m_table = table;
    const bool withRowid = !table.isEmpty();

    QHash<QString, ColumnType> types;
    if (withRowid) {
        for (const auto &[name, type] : conn.columns(rs.m_table))
            types.insert(name.toLower(), type);
    }

    Connection::Statement st;
    conn.prepare(st, sql, parameters);
    const int count = sqlite3_column_count(st.stmt);
    const int first = withRowid ? 1 : 0;
    for (int c = first; c < count; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(st.stmt, c));
        rs.m_columns.append(name);
        rs.m_types.append(types.value(name.toLower(), ColumnType::Other));
    }
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(count - first);
        for (int c = first; c < count; ++c)
            row.append(Connection::columnValue(st.stmt, c));
        rs.m_rows.append(row);
        rs.m_rowids.append(withRowid ? sqlite3_column_int64(st.stmt, 0) : 0);
    }
    conn.check(rc);
    return rs;
}

// ---- Transaction ----

Transaction::Transaction(Database &db)
    : m_conn(db.m_conn)
{
    Connection &conn = db.connection();
    conn.exec(conn.transactionDepth == 0 ? QStringLiteral("BEGIN IMMEDIATE")
                                         : QStringLiteral("SAVEPOINT nested%1").arg(conn.transactionDepth));
    ++conn.transactionDepth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --m_conn->transactionDepth;
    const QByteArray sql = m_conn->transactionDepth == 0
        ? QByteArray("ROLLBACK")
        : QStringLiteral("ROLLBACK TO nested%1; RELEASE nested%1").arg(m_conn->transactionDepth).toUtf8();
    sqlite3_exec(m_conn->db, sql.constData(), nullptr, nullptr, nullptr);
}

void Transaction::Commit()
{
    if (m_done)
        return;
    const int depth = m_conn->transactionDepth - 1;
    m_conn->exec(depth == 0 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE nested%1").arg(depth));
    m_conn->transactionDepth = depth;
    m_done = true;
}

// ---- Field ----

QVariant Field::Value() const
{
    return m_rs->valueAt(m_index);
}

void Field::setValue(const QVariant &value)
{
    m_rs->assign(m_index, value);
}

QString Field::Name() const
{
    return m_rs->m_columns.at(m_index);
}

// ---- Recordset ----

bool Recordset::AtEOF() const
{
    return m_pos >= m_rows.size();
}

void Recordset::MoveNext()
{
    if (AtEOF())
        throw noCurrentRecord();
    m_mode = Mode::None;
    ++m_pos;
}

void Recordset::MoveLast()
{
    if (m_rows.isEmpty())
        throw noCurrentRecord();
    m_mode = Mode::None;
    m_pos = static_cast<int>(m_rows.size()) - 1;
}

void Recordset::requireCurrentRow() const
{
    if (m_pos < 0 || m_pos >= m_rows.size())
        throw noCurrentRecord();
}

void Recordset::AddNew()
{
    if (m_table.isEmpty())
        throw readOnly();
    m_mode = Mode::Add;
    m_buffer = QVariantList(m_columns.size());
    m_dirty = QList<bool>(m_columns.size(), false);
}

void Recordset::Edit()
{
    if (m_table.isEmpty())
        throw readOnly();
    requireCurrentRow();
    m_mode = Mode::Edit;
    m_buffer = m_rows.at(m_pos);
    m_dirty = QList<bool>(m_columns.size(), false);
}

void Recordset::CancelUpdate()
{
    m_mode = Mode::None;
}

void Recordset::Update()
{
    if (m_mode == Mode::None)
        throw updateWithoutEdit();
    Connection &conn = *m_conn;
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_dirty.at(c)) {
            names.append(quoted(m_columns.at(c)));
            values.append(m_buffer.at(c));
        }
    }
    if (m_mode == Mode::Edit) {
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : names)
                sets.append(n + QStringLiteral("=?"));
            values.append(m_rowids.at(m_pos));
            conn.exec(
                QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quoted(m_table), sets.join(QLatin1Char(','))),
                values);
            m_rows[m_pos] = m_buffer;
        }
    } else {
        // The whole row goes in with one statement: it is stored complete or
        // not at all.
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(m_table), names.join(QLatin1Char(',')),
                      QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        conn.exec(sql, values);
        const qint64 rowid = sqlite3_last_insert_rowid(conn.db);
        // Read the row back as stored, so that later reads see the engine's values.
        Connection::Statement st;
        QStringList cols;
        for (const QString &c : m_columns)
            cols.append(quoted(c));
        conn.prepare(st,
            QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(cols.join(QLatin1Char(',')), quoted(m_table)),
            {rowid});
        QVariantList row;
        if (sqlite3_step(st.stmt) == SQLITE_ROW) {
            for (int c = 0; c < m_columns.size(); ++c)
                row.append(Connection::columnValue(st.stmt, c));
        } else {
            row = m_buffer;
        }
        const bool wasAtEnd = AtEOF();
        m_rows.append(row);
        m_rowids.append(rowid);
        if (wasAtEnd)
            m_pos = static_cast<int>(m_rows.size());
    }
    m_mode = Mode::None;
}

int Recordset::columnIndex(const QString &name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    throw DbError(kItemNotFound, QStringLiteral("在此集合中找不到项目 '%1'。").arg(name));
}

Field Recordset::Fields(const QString &name)
{
    return Field(this, columnIndex(name));
}

Field Recordset::Fields(int ordinal)
{
    if (ordinal < 0 || ordinal >= m_columns.size())
        throw DbError(kItemNotFound, QStringLiteral("在此集合中找不到项目 %1。").arg(ordinal));
    return Field(this, ordinal);
}

QVariant Recordset::valueAt(int column) const
{
    if (m_mode != Mode::None)
        return m_buffer.at(column);
    requireCurrentRow();
    return m_rows.at(m_pos).at(column);
}

namespace {

// A number value for a number column. NaN and infinities are refused like a
// text that is no number: the engine would store NaN as Null, and no typed
// text yields an infinity.
double finiteNumber(const QVariant &value)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw conversionError();
    return d;
}

QVariant convertForColumn(ColumnType type, const QVariant &value)
{
    if (value.isNull())
        return {};
    const bool isText = value.metaType().id() == QMetaType::QString;
    switch (type) {
    case ColumnType::Text:
        if (value.metaType().id() == QMetaType::Double)
            return conv::numberText(value.toDouble());
        return value.toString();
    case ColumnType::Int16:
    case ColumnType::Integer: {
        double d = 0;
        if (isText) {
            const auto parsed = conv::parseNumber(value.toString());
            if (!parsed)
                throw conversionError();
            d = *parsed;
        } else {
            d = finiteNumber(value);
        }
        if (type == ColumnType::Int16) {
            const auto v = conv::toInt16(d);
            if (!v)
                throw overflow();
            return QVariant(static_cast<int>(*v));
        }
        const double r = conv::roundHalfEven(d);
        if (!(r >= -9.2e18 && r <= 9.2e18))
            throw overflow();
        return QVariant(static_cast<qlonglong>(r));
    }
    case ColumnType::Double: {
        if (isText) {
            const auto parsed = conv::parseNumber(value.toString());
            if (!parsed)
                throw conversionError();
            return *parsed;
        }
        return finiteNumber(value);
    }
    case ColumnType::Other:
        break;
    }
    return value;
}

} // namespace

void Recordset::assign(int column, const QVariant &value)
{
    if (m_mode == Mode::None)
        throw updateWithoutEdit();
    m_buffer[column] = convertForColumn(m_types.at(column), value);
    m_dirty[column] = true;
}

// ---- reading values ----

QString text(const QVariant &value)
{
    if (value.isNull())
        throw invalidUseOfNull();
    if (value.metaType().id() == QMetaType::Double)
        return conv::numberText(value.toDouble());
    return value.toString();
}

QString textOr(const QVariant &value, const QString &fallback)
{
    return value.isNull() ? fallback : text(value);
}

double number(const QVariant &value)
{
    if (value.isNull())
        throw invalidUseOfNull();
    if (value.metaType().id() == QMetaType::QString) {
        const auto parsed = conv::parseNumber(value.toString());
        if (!parsed)
            throw conversionError();
        return *parsed;
    }
    return value.toDouble();
}

} // namespace dao
