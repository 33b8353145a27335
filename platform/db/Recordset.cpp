// Record set and field: rows are loaded when the set is opened and read from first to last.
#include "Database.h"

namespace tw::db {

QString Field::Text() const {
    if (value_.isNull()) return QString();
    return value_.toString();
}

long long Field::Int() const {
    if (value_.isNull()) return 0;
    bool ok = false;
    const long long v = value_.toLongLong(&ok);
    if (ok) return v;
    const double d = value_.toString().trimmed().toDouble(&ok);
    return ok ? static_cast<long long>(d) : 0;
}

double Field::Double() const {
    if (value_.isNull()) return 0;
    bool ok = false;
    const double d = value_.toDouble(&ok);
    return ok ? d : 0;
}

Recordset::Recordset(QStringList columns, const std::vector<std::vector<QVariant>>& rows)
    : columns_(std::move(columns)) {
    const size_t cols = static_cast<size_t>(columns_.size());
    cells_.reserve(rows.size() * cols);
    for (const auto& row : rows)
        for (size_t c = 0; c < cols; ++c) cells_.push_back(c < row.size() ? row[c] : QVariant());
    rows_ = static_cast<long>(rows.size());
    reached_ = rows_ == 0 ? 0 : 1;
    assert(Valid());
}

Recordset::Recordset(QStringList columns, std::vector<QVariant> cells)
    : columns_(std::move(columns)), cells_(std::move(cells)) {
    assert(columns_.isEmpty() ? cells_.empty()
                              : cells_.size() % static_cast<size_t>(columns_.size()) == 0);
    rows_ = columns_.isEmpty() ? 0 : static_cast<long>(cells_.size()) / columns_.size();
    reached_ = rows_ == 0 ? 0 : 1;
    assert(Valid());
}

bool Recordset::Eof() const {
    return pos_ >= rows_;
}

bool Recordset::Bof() const {
    return rows_ == 0 || pos_ < 0;
}

void Recordset::MoveNext() {
    if (Eof()) throw DbError("No current record.");
    ++pos_;
    // Reaching EOF means every row has been seen.
    reached_ = std::max(reached_, std::min(pos_ + 1, rows_));
    assert(Valid());
    assert(!Eof() || reached_ == rows_);
}

void Recordset::MoveFirst() {
    if (rows_ == 0) return;
    pos_ = 0;
}

void Recordset::MoveLast() {
    if (rows_ == 0) return;
    pos_ = rows_ - 1;
    reached_ = rows_;
    assert(Valid());
}

long Recordset::RecordCount() const {
    return reached_;
}

Field Recordset::Fields(const QString& name) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0) return Fields(i);
    throw DbError("Item not found in this collection: " + name.toStdString());
}

Field Recordset::Fields(int index) const {
    if (index < 0 || index >= columns_.size())
        throw DbError("Item not found in this collection: #" + std::to_string(index));
    if (Eof() || pos_ < 0) throw DbError("No current record.");
    assert(Valid());
    return Field(cells_[static_cast<size_t>(pos_) * static_cast<size_t>(columns_.size()) +
                        static_cast<size_t>(index)]);
}

void Recordset::Close() {
    cells_.clear();
    rows_ = 0;
    pos_ = 0;
    reached_ = 0;
}

}  // namespace tw::db
