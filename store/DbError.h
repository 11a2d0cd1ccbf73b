#pragma once

#include "KvError.h"

// A failure of the database itself, as opposed to bad data handed to it: the import undoes
// its work on one of these and keeps the rows stored before a bad record otherwise.
class DbError : public KvError {
public:
    enum class Cause {
        Full,  // no room left on the disk (or the engine's size limit)
        Busy,  // another program holds the write lock
        Other, // refused statement, I/O error, lost connection, ...
    };
    DbError(Cause cause, QString message) : KvError(std::move(message)), m_cause(cause) {}
    Cause cause() const noexcept { return m_cause; }

    // The engine's own text, or a Portuguese sentence for the causes a user can act on.
    static DbError fromEngine(Cause cause, const QString& engineText)
    {
        switch (cause) {
        case Cause::Full:
            return DbError(cause, QStringLiteral("Disco cheio"));
        case Cause::Busy:
            return DbError(cause, busyMessage());
        case Cause::Other:
            break;
        }
        return DbError(cause, engineText);
    }
    static QString busyMessage()
    {
        return QStringLiteral("O banco de dados está sendo gravado por outro programa (uma carga "
                              "de arquivo ou outra ferramenta); tente novamente quando ele "
                              "terminar.");
    }

private:
    Cause m_cause;
};
