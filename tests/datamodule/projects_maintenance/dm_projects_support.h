#pragma once
// The shared module fixture with a recording user interface, and a module connected to a
// scratch database.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/main_table.h"
#include "config/recording_ui.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/dm_fixture.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

// A module connected to another database of the test server.
inline std::unique_ptr<TDM> ConnectedDmTo(const db::ConnectionParams& params) {
    auto dm = std::make_unique<TDM>();
    dm->ConnectLocal(params);
    return dm;
}

// The shared module fixture with a recording user interface.
class DmAreaTest : public DmFixture {
  protected:
    RecordingUi ui;
    ScopedUiPort uiScope{ui};
};

}  // namespace dorvan::test
