#include "db/dataset.h"

#include <algorithm>
#include <cmath>

#include "db/errors.h"
#include "db/sql_params.h"

namespace dorvan::db {

namespace {

const Value kNull;

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : names) {
        if (c == ';' || c == ',') {
            out.push_back(cur);
            cur.clear();
        } else if (c != ' ') {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

bool IsNumeric(const Value& v) {
    return v.IsInteger() || v.IsFloat() || v.IsBoolean();
}

bool Matches(const Value& column, const Value& key, const LocateOptions& options) {
    if (key.IsNull() || column.IsNull())
        return key.IsNull() && column.IsNull();
    try {
        if (IsNumeric(column) || IsNumeric(key)) {
            if (column.IsString() || key.IsString()) {
                double a = 0, b = 0;
                if (!ParseDouble(column.AsString(), a) || !ParseDouble(key.AsString(), b)) {
                    return false;
                }
                return a == b;
            }
            return column.AsFloat() == key.AsFloat();
        }
        if (column.IsDateTime() || key.IsDateTime()) {
            return column.AsDateTime() == key.AsDateTime();
        }
    } catch (const ValueConversionError&) {
        return false;
    }
    std::string a = column.AsString();
    std::string b = key.AsString();
    if (options.caseInsensitive) {
        a = FoldCase(a);
        b = FoldCase(b);
    }
    if (options.partialKey)
        return a.compare(0, b.size(), b) == 0;
    return a == b;
}

}  // namespace

DataSet::DataSet(std::string name) : name_(std::move(name)) {}

DataSet::~DataSet() = default;

void DataSet::Open() {
    if (Active())
        return;
    if (BeforeOpen)
        BeforeOpen(*this);
    rows_.clear();
    InternalOpen();
    state_ = DataSetState::Browse;
    editing_ = false;
    current_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
    calcValues_.assign(fields_.size() - static_cast<std::size_t>(dataCount_), Value());
    Recalc();
    if (AfterOpen)
        AfterOpen(*this);
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::Close() {
    if (!Active())
        return;
    if (BeforeClose)
        BeforeClose(*this);
    state_ = DataSetState::Inactive;
    editing_ = false;
    rows_.clear();
    buffer_.clear();
    current_ = 0;
    eof_ = bof_ = true;
    InternalClose();
}

void DataSet::Refresh() {
    CheckBrowseMode();
    const int recNo = RecNo();
    Close();
    Open();
    if (recNo > 1 && !rows_.empty())
        SetRecNo(std::min(recNo, RecordCount()));
}

Field* DataSet::FindField(const std::string& name) const {
    for (const auto& f : fields_) {
        if (SameName(f->FieldName(), name))
            return f.get();
    }
    return nullptr;
}

Field& DataSet::FieldByName(const std::string& name) const {
    Field* f = FindField(name);
    if (f == nullptr)
        throw FieldNotFound(name, name_);
    return *f;
}

void DataSet::SetFieldDisplayFormat(const std::string& name, const std::string& format) {
    displayFormats_[LowerName(name)] = format;
    if (Field* f = FindField(name))
        f->SetDisplayFormat(format);
}

Field& DataSet::AddCalculatedField(const std::string& name, FieldType type, int size) {
    CheckInactive("add a calculated field");
    if (FindField(name) != nullptr) {
        throw DataSetError(name_ + ": duplicate field name '" + name + "'");
    }
    const int index = static_cast<int>(fields_.size()) - dataCount_;
    fields_.push_back(std::make_unique<Field>(*this, name, type, FieldKind::Calculated, index));
    fields_.back()->SetSize(size);
    return *fields_.back();
}

std::vector<std::string> DataSet::SetDataFields(const std::vector<ColumnDef>& columns) {
    std::vector<std::unique_ptr<Field>> oldData;
    std::vector<std::unique_ptr<Field>> calcs;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        (static_cast<int>(i) < dataCount_ ? oldData : calcs).push_back(std::move(fields_[i]));
    }
    fields_.clear();
    std::vector<std::string> names;
    for (const ColumnDef& col : columns) {
        std::string name = col.name;
        auto taken = [&](const std::string& n) {
            for (const auto& used : names) {
                if (SameName(used, n))
                    return true;
            }
            for (const auto& c : calcs) {
                if (SameName(c->FieldName(), n))
                    return true;
            }
            return false;
        };
        for (int k = 1; taken(name); ++k)
            name = col.name + "_" + std::to_string(k);
        names.push_back(name);
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::unique_ptr<Field> field;
        for (auto& old : oldData) {
            if (old && SameName(old->FieldName(), names[i]) && old->type_ == columns[i].type) {
                field = std::move(old);
                break;
            }
        }
        if (!field) {
            field = std::make_unique<Field>(*this, names[i], columns[i].type, FieldKind::Data,
                                            static_cast<int>(i));
        }
        field->name_ = names[i];
        field->index_ = static_cast<int>(i);
        field->size_ = columns[i].size;
        field->required_ = columns[i].required;
        const auto format = displayFormats_.find(LowerName(names[i]));
        if (format != displayFormats_.end())
            field->displayFormat_ = format->second;
        fields_.push_back(std::move(field));
    }
    dataCount_ = static_cast<int>(columns.size());
    for (std::size_t i = 0; i < calcs.size(); ++i) {
        calcs[i]->index_ = static_cast<int>(i);
        fields_.push_back(std::move(calcs[i]));
    }
    return names;
}

void DataSet::CheckInactive(const char* action) const {
    if (Active())
        throw DataSetError(name_ + ": cannot " + action + " on an open dataset");
}

void DataSet::CheckActive() const {
    if (!Active())
        throw DataSetError(name_ + ": Cannot perform this operation on a closed dataset");
}

void DataSet::CheckBrowseMode() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        Post();
}

const Value& DataSet::ReadValue(const Field& field) const {
    if (field.Calculated()) {
        const auto i = static_cast<std::size_t>(field.index_);
        return i < calcValues_.size() ? calcValues_[i] : kNull;
    }
    const auto i = static_cast<std::size_t>(field.index_);
    if (editing_)
        return buffer_[i];
    if (!Active() || rows_.empty())
        return kNull;
    return rows_[static_cast<std::size_t>(current_)][i];
}

void DataSet::WriteValue(Field& field, const Value& value) {
    const auto i = static_cast<std::size_t>(field.index_);
    if (field.Calculated()) {
        if (state_ != DataSetState::CalcFields && !editing_) {
            throw DataSetError(name_ + ": calculated field '" + field.FieldName() +
                               "' can only be set while fields are calculated");
        }
        calcValues_[i] = value;
        return;
    }
    if (!editing_ || state_ == DataSetState::CalcFields) {
        throw DataSetError(name_ + ": Dataset not in edit or insert mode (field '" +
                           field.FieldName() + "')");
    }
    buffer_[i] = value;
    assigned_[i] = true;
}

void DataSet::Recalc() {
    for (auto& v : calcValues_)
        v = Value();
    if (!OnCalcFields || calcValues_.empty())
        return;
    if (!editing_ && rows_.empty())
        return;
    const DataSetState saved = state_;
    state_ = DataSetState::CalcFields;
    try {
        OnCalcFields(*this);
    } catch (...) {
        state_ = saved;
        throw;
    }
    state_ = saved;
}

void DataSet::Scrolled() {
    Recalc();
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::First() {
    CheckBrowseMode();
    current_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
    Scrolled();
}

void DataSet::Last() {
    CheckBrowseMode();
    current_ = rows_.empty() ? 0 : static_cast<int>(rows_.size()) - 1;
    bof_ = rows_.empty();
    eof_ = true;
    Scrolled();
}

void DataSet::Next() {
    CheckBrowseMode();
    if (current_ + 1 < static_cast<int>(rows_.size())) {
        ++current_;
        bof_ = eof_ = false;
        Scrolled();
    } else {
        eof_ = true;
    }
}

void DataSet::Prior() {
    CheckBrowseMode();
    if (current_ > 0 && !rows_.empty()) {
        --current_;
        bof_ = eof_ = false;
        Scrolled();
    } else {
        bof_ = true;
    }
}

void DataSet::SetRecNo(int recNo) {
    CheckBrowseMode();
    if (recNo < 1 || recNo > static_cast<int>(rows_.size()))
        return;
    current_ = recNo - 1;
    bof_ = eof_ = false;
    Scrolled();
}

bool DataSet::Locate(const std::string& fieldNames, const std::vector<Value>& values,
                     LocateOptions options) {
    CheckBrowseMode();
    const auto names = SplitNames(fieldNames);
    if (names.size() != values.size()) {
        throw DataSetError(name_ + ": Locate got " + std::to_string(values.size()) +
                           " values for " + std::to_string(names.size()) + " fields");
    }
    std::vector<Field*> fields;
    for (const auto& n : names) {
        Field& f = FieldByName(n);
        if (f.Calculated())
            throw DataSetError(name_ + ": cannot locate on calculated field " + n);
        fields.push_back(&f);
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        bool all = true;
        for (std::size_t k = 0; k < fields.size() && all; ++k) {
            all =
                Matches(rows_[r][static_cast<std::size_t>(fields[k]->index_)], values[k], options);
        }
        if (all) {
            current_ = static_cast<int>(r);
            bof_ = eof_ = false;
            Scrolled();
            return true;
        }
    }
    return false;
}

void DataSet::StartInsert(std::size_t position) {
    CheckBrowseMode();
    buffer_.assign(static_cast<std::size_t>(dataCount_), Value());
    assigned_.assign(static_cast<std::size_t>(dataCount_), false);
    insertAt_ = position;
    editing_ = true;
    state_ = DataSetState::Insert;
    try {
        if (OnNewRecord)
            OnNewRecord(*this);
        Recalc();
    } catch (...) {
        Cancel();
        throw;
    }
}

void DataSet::Append() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        Post();
    StartInsert(rows_.size());
}

void DataSet::Insert() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        Post();
    StartInsert(rows_.empty() ? 0 : static_cast<std::size_t>(current_));
}

void DataSet::Edit() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (rows_.empty()) {
        Insert();
        return;
    }
    buffer_ = rows_[static_cast<std::size_t>(current_)];
    assigned_.assign(buffer_.size(), false);
    editing_ = true;
    state_ = DataSetState::Edit;
}

void DataSet::Post() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        throw DataSetError(name_ + ": Dataset not in edit or insert mode");
    }
    if (BeforePost)
        BeforePost(*this);
    for (int i = 0; i < dataCount_; ++i) {
        const Field& f = *fields_[static_cast<std::size_t>(i)];
        if (f.Required() && buffer_[static_cast<std::size_t>(i)].IsNull()) {
            throw DataSetError("Field '" + f.FieldName() + "' must have a value");
        }
    }
    if (state_ == DataSetState::Insert) {
        Row stored = InternalInsert(buffer_, assigned_);
        const std::size_t at = std::min(insertAt_, rows_.size());
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(stored));
        current_ = static_cast<int>(at);
    } else {
        const Row& old = rows_[static_cast<std::size_t>(current_)];
        std::vector<bool> changed(buffer_.size(), false);
        bool any = false;
        for (std::size_t i = 0; i < buffer_.size(); ++i) {
            changed[i] = assigned_[i] && !(buffer_[i] == old[i]);
            any = any || changed[i];
        }
        if (any)
            rows_[static_cast<std::size_t>(current_)] = InternalUpdate(old, buffer_, changed);
    }
    editing_ = false;
    buffer_.clear();
    state_ = DataSetState::Browse;
    bof_ = eof_ = false;
    Recalc();
    if (AfterPost)
        AfterPost(*this);
}

void DataSet::Cancel() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    editing_ = false;
    buffer_.clear();
    state_ = DataSetState::Browse;
    eof_ = rows_.empty() ? true : eof_;
    Recalc();
}

void DataSet::Delete() {
    CheckActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (state_ == DataSetState::Edit)
        Cancel();
    if (rows_.empty())
        throw DataSetError(name_ + ": Cannot perform this operation on an empty dataset");
    InternalDelete(rows_[static_cast<std::size_t>(current_)]);
    rows_.erase(rows_.begin() + current_);
    if (current_ >= static_cast<int>(rows_.size()) && current_ > 0)
        --current_;
    eof_ = rows_.empty();
    bof_ = rows_.empty();
    Scrolled();
}

}  // namespace dorvan::db
