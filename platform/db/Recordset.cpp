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

Recordset::Recordset(QStringList columns, std::vector<std::vector<QVariant>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {
    reached_ = rows_.empty() ? 0 : 1;
}

bool Recordset::Eof() const {
    return pos_ >= static_cast<long>(rows_.size());
}

bool Recordset::Bof() const {
    return rows_.empty() || pos_ < 0;
}

void Recordset::MoveNext() {
    if (Eof()) throw DbError("No current record.");
    ++pos_;
    const long n = static_cast<long>(rows_.size());
    // Reaching EOF means every row has been seen.
    reached_ = std::max(reached_, std::min(pos_ + 1, n));
}

void Recordset::MoveFirst() {
    if (rows_.empty()) return;
    pos_ = 0;
}

void Recordset::MoveLast() {
    if (rows_.empty()) return;
    pos_ = static_cast<long>(rows_.size()) - 1;
    reached_ = static_cast<long>(rows_.size());
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
    return Field(rows_[static_cast<size_t>(pos_)][static_cast<size_t>(index)]);
}

void Recordset::Close() {
    rows_.clear();
    pos_ = 0;
    reached_ = 0;
}

}  // namespace tw::db
