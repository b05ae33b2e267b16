// The errors the database layer raises: a number and a message each.

#include "DaoInternal.h"

namespace dao {

DbError damaged(const QString &path)
{
    return DbError(kDamagedFile, QStringLiteral("数据库文件 '%1' 已损坏，无法使用。").arg(path));
}

DbError truncatedFile(const QString &path)
{
    return DbError::truncated(
        QStringLiteral("数据库文件 '%1' 已损坏：文件不完整，后面的部分缺失（没有写完或没有复制完），无法使用。")
            .arg(path));
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

DbError invalidPassword(const QString &path)
{
    if (path.isEmpty())
        return DbError(kInvalidPassword, QStringLiteral("密码无效。"));
    // A file encrypted with another key and a damaged or random one look
    // alike to the engine: the message names both.
    return DbError(kInvalidPassword,
        QStringLiteral("密码无效。数据库文件 '%1' 不能用本系统的密码打开：它可能已损坏，或者不是本系统的数据库。")
            .arg(path));
}

[[noreturn]] void raiseFromSqlite(int code, const QString &message, const QString &context)
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

} // namespace dao
