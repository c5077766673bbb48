#pragma once
// Writes that lean on a unique key of the database, for databases where the key is missing.
// The release's update scripts leave a unique key out where rows written before break it
// (DmContext::HasUniqueKey tells); the statement with `ON CONFLICT` then has no key to meet,
// so the service checks and writes in one transaction under the transaction-level lock of
// the table and key value instead. The lock ends with the transaction, so it holds through a
// transaction-mode connection pooler.

#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>

#include "datamodule/support/service_support.h"
#include "db/connection.h"
#include "db/transaction.h"

namespace dorvan {

// Runs `work` in a transaction of `connection` (a savepoint inside an open one; the lock is
// then held until the outer transaction ends) after taking the lock of `table` and `key`
// (the key's values joined into one text); returns what `work` returns.
template <class Work>
auto UnderKeyLock(db::Connection& connection, const std::string& table, const std::string& key,
                  Work&& work) {
    db::Transaction tx(connection);
    ExecQuery(connection, "KeyLockSQL",
              {"SELECT pg_advisory_xact_lock(hashtext(:tabla), hashtext(:kulcs))"},
              {{"tabla", table}, {"kulcs", key}});
    if constexpr (std::is_void_v<decltype(std::forward<Work>(work)())>) {
        std::forward<Work>(work)();
        tx.Commit();
    } else {
        auto result = std::forward<Work>(work)();
        tx.Commit();
        return result;
    }
}

// The values of a key as one lock text (a separator no value holds).
inline std::string KeyText(std::initializer_list<std::string> values) {
    std::string text;
    for (const std::string& v : values) {
        if (!text.empty())
            text += '\x1f';
        text += v;
    }
    return text;
}

}  // namespace dorvan
