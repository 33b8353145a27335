// The school's order of classes: by grade, then by class number as a number. A class code is a
// grade digit followed by the class number: the class form makes "11" to "920" ("710" is
// grade 7, class 10, after "72"), and a number written with leading zeros ("101") reads as the
// same number. Codes of any other form, which an older file may hold, come after all those in
// the database's order of codes, as do codes equal in grade and number among themselves. Every
// list that shows classes in the order of their codes, printed, exported or on a form, follows
// it.
#pragma once

#include <QString>

namespace tw::store {

// Whether the class of code a comes before that of code b.
bool ClassCodeLess(const QString& a, const QString& b);

// The terms of an ORDER BY clause that put rows in the order of the class code in column (for
// example "A.ClassCode"); rows of one code stay together.
QString ClassOrderBy(const QString& column);

}  // namespace tw::store
