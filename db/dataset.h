#pragma once
// The common part of queries and memory tables: fields, the row cursor, row editing and
// the event handlers.
//
// Rows are held in memory once the dataset is open. Field objects live as long as the
// dataset: reopening keeps a field (with its display format) when the column is still
// there, so pointers from FieldByName stay valid across a reopen of the same statement.
//
// Navigation: First/Next/Prior/Last move the cursor; Eof turns true when Next finds no
// further row (and after Last), Bof when Prior finds none (and after First). Moving while
// a row is being edited posts it first.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/field.h"
#include "db/value.h"

namespace dorvan::db {

enum class DataSetState { Inactive, Browse, Edit, Insert, CalcFields };

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // a text key matches the start of the column's text
};

class DataSet {
  public:
    using Handler = std::function<void(DataSet&)>;
    using Row = std::vector<Value>;

    explicit DataSet(std::string name = {});
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    // Component name (used in messages) and tag.
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // Opening an open dataset does nothing.
    void Open();
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    void SetActive(bool on) { on ? Open() : Close(); }
    // Reads the rows again (an open dataset only) and returns to the same position,
    // or to the last row when there are fewer now.
    void Refresh();
    DataSetState State() const { return state_; }

    // Fields: data fields in column order, then calculated fields.
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    Field& Fields(int index) const { return *fields_.at(static_cast<std::size_t>(index)); }
    // Case-insensitive; FieldByName throws FieldNotFound naming field and dataset.
    Field& FieldByName(const std::string& name) const;
    Field* FindField(const std::string& name) const;
    // Display format of a field by name, also for fields that appear only when the
    // dataset is opened (kept for every later opening).
    void SetFieldDisplayFormat(const std::string& name, const std::string& format);
    // Declares a calculated field; only while the dataset is closed.
    Field& AddCalculatedField(const std::string& name, FieldType type, int size = 0);

    // Navigation.
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    // 1-based position of the current row; 0 when there is none.
    int RecNo() const { return rows_.empty() ? 0 : current_ + 1; }
    void SetRecNo(int recNo);
    bool IsEmpty() const { return rows_.empty(); }
    // Finds the first row whose columns (names separated by ";") equal the values and
    // makes it current. Returns false (cursor unchanged) when none does.
    bool Locate(const std::string& fieldNames, const std::vector<Value>& values,
                LocateOptions options = {});

    // Row editing.
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    // Handlers; each gets the dataset.
    Handler BeforeOpen;
    Handler AfterOpen;
    Handler BeforeClose;
    Handler AfterScroll;
    Handler OnCalcFields;
    Handler OnNewRecord;
    Handler BeforePost;
    Handler AfterPost;

  protected:
    struct ColumnDef {
        std::string name;
        FieldType type = FieldType::String;
        int size = 0;
        bool required = false;
    };

    // Opening work of the subclass: calls SetDataFields and fills the rows.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() {}
    // Stores a new row and returns the row as stored. `assigned` marks the data
    // fields that were set since Append/Insert.
    virtual Row InternalInsert(const Row& row, const std::vector<bool>& assigned) = 0;
    // Stores the changes of a row and returns the row as stored.
    virtual Row InternalUpdate(const Row& oldRow, const Row& newRow,
                               const std::vector<bool>& changed) = 0;
    virtual void InternalDelete(const Row& row) = 0;

    // Replaces the data fields; repeated names get "_1", "_2", ... Returns the final
    // names.
    std::vector<std::string> SetDataFields(const std::vector<ColumnDef>& columns);
    int DataFieldCount() const { return dataCount_; }
    std::vector<Row>& Rows() { return rows_; }
    void CheckInactive(const char* action) const;

  private:
    friend class Field;
    const Value& ReadValue(const Field& field) const;
    void WriteValue(Field& field, const Value& value);
    void CheckActive() const;
    void CheckBrowseMode();
    void Recalc();
    void Scrolled();
    void StartInsert(std::size_t position);

    std::string name_;
    int tag_ = 0;
    DataSetState state_ = DataSetState::Inactive;
    std::vector<std::unique_ptr<Field>> fields_;
    int dataCount_ = 0;
    std::vector<Row> rows_;
    int current_ = 0;
    bool eof_ = true;
    bool bof_ = true;
    Row buffer_;  // the row being edited or inserted
    std::vector<bool> assigned_;
    std::size_t insertAt_ = 0;
    Row calcValues_;
    bool editing_ = false;                               // buffer_ holds the current row
    std::map<std::string, std::string> displayFormats_;  // by lower-case name
};

}  // namespace dorvan::db
