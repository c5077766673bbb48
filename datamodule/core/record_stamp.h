#pragma once
// The record stamp: who changed or created a row and when, by the server's clock.

#include "db/dataset.h"

namespace dorvan {

class TDM;

class RecordStamp {
  public:
    explicit RecordStamp(TDM& dm) : dm_(dm) {}

    // Writes the user and server-time columns of the row about to be posted.
    void StoreUserData(db::DataSet& dataSet);

  private:
    TDM& dm_;
};

}  // namespace dorvan
