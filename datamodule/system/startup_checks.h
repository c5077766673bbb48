#pragma once
// The last steps of the start-up: the forint rows, the "< üres >" value of each item
// category (and the references to it), and the owner company's own partner row.

namespace dorvan {

class TDM;

class StartupChecks {
  public:
    explicit StartupChecks(TDM& dm) : dm_(dm) {}

    // The forint currency and rate rows, the category self test with the fix-ups of empty
    // category columns, the owner's partner row. Errors rise and end the start-up there.
    // Two workstations starting at once leave one of each row they create.
    void Run();
    // For each category 1-6: its "< üres >" row exists (created when missing), is marked
    // `ures` = 1 and its key is in MainTable().CategoryKeys.
    void FajtaTeszt();
    // A new partner row from the owner record's name and address; its key.
    int CreateLocalClient();

  private:
    // The owner's `partner_kod` names an existing partner afterwards (decided and written
    // under a lock of the owner row).
    void CheckOwnerPartner();

    TDM& dm_;
};

}  // namespace dorvan
