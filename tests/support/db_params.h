#pragma once
// Connection parameters of the test program's own database on the cluster the tests run.
// Header-only: the test support library itself does not link the database layer.

#include "db/connection.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

inline db::ConnectionParams DatabaseParams() {
    const auto& s = Server();
    db::ConnectionParams p;
    p.host = s.host;
    p.port = s.port;
    p.user = s.user;
    p.password = s.password;
    p.database = DatabaseName();
    return p;
}

}  // namespace dorvan::test
