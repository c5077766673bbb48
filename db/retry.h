#pragma once
// Runs a unit of work in a transaction and runs it again, a bounded number of times, when
// the server reports a conflict with another client: a serialization failure or a deadlock
// (SQLSTATE class 40) and, when asked, a unique violation (23505: the other client stored
// the same number first). Each attempt starts a fresh transaction (a savepoint inside an
// open one); the last attempt's error rises to the caller. Any other error rises at once.
//
//     const int number = db::RunInTransaction(conn, {.attempts = 8, .retryOnUniqueViolation =
//     true},
//                                             [&] { return StoreNextNumber(conn); });

#include <chrono>
#include <random>
#include <thread>
#include <type_traits>

#include "db/connection.h"
#include "db/errors.h"
#include "db/transaction.h"

namespace dorvan::db {

struct RetryPolicy {
    int attempts = 5;  // at least one
    bool retryOnUniqueViolation = false;
    // Pause before attempt n (n >= 2): a random part of n times this, so that clients that
    // collided do not collide again in step.
    std::chrono::milliseconds backoff{2};
};

// True when `error` is one that a new attempt may not meet again.
inline bool IsRetryable(const DbError& error, const RetryPolicy& policy) {
    if (dynamic_cast<const TransactionRollback*>(&error) != nullptr)
        return true;
    return policy.retryOnUniqueViolation && dynamic_cast<const UniqueViolation*>(&error) != nullptr;
}

template <class Work>
auto RunInTransaction(Connection& connection, const RetryPolicy& policy, Work&& work)
    -> std::invoke_result_t<Work&> {
    thread_local std::minstd_rand random{std::random_device{}()};
    const int attempts = policy.attempts < 1 ? 1 : policy.attempts;
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction tx(connection);
            if constexpr (std::is_void_v<std::invoke_result_t<Work&>>) {
                work();
                tx.Commit();
                return;
            } else {
                auto result = work();
                tx.Commit();
                return result;
            }
        } catch (const DbError& error) {
            if (attempt >= attempts || !IsRetryable(error, policy))
                throw;
        }
        const auto limit = policy.backoff.count() * attempt;
        if (limit > 0) {
            std::uniform_int_distribution<long long> pause(0, limit);
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        }
    }
}

template <class Work>
auto RunInTransaction(Connection& connection, Work&& work) -> std::invoke_result_t<Work&> {
    return RunInTransaction(connection, RetryPolicy{}, std::forward<Work>(work));
}

}  // namespace dorvan::db
