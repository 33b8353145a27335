// The automatic build written down plainly, statement by statement as the builder's design
// gives it: every question is its own query through the database layer, nothing is kept
// between questions, ties go to the row the database returns first, and the same two draws
// are taken at the same points. The builder must place every lesson where this places it.
#pragma once

#include <QString>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "db/Database.h"
#include "timetable/mdlBuildKb.h"

class TranscribedBuild {
  public:
    TranscribedBuild(tw::db::Database& db, int lessonOfDay, tw::timetable::RandomSource rnd)
        : db_(db), lessonOfDay_(lessonOfDay), rnd_(std::move(rnd)) {}

    // The percentage, or -1. Ends after `maxRows` rows as well, which a plan of fewer rows
    // never reaches (every row is finished once).
    int AutoBuildLessons(int maxRows) {
        if (PrepareBuild() != 0) return -1;
        QString teacher;
        int rows = 0;
        for (;;) {
            const QString course = PickTeacherAndCourse(teacher);
            if (course.isEmpty()) break;
            for (;;) {
                const QString cls = PickClass(course, teacher);
                if (cls.isEmpty()) break;
                if (++rows > maxRows) return -2;
                BuildPlanLessons(cls, course, teacher);
            }
        }
        return GetBuildPercent();
    }

  private:
    using Rs = std::unique_ptr<tw::db::Recordset>;
    static QString Q(const QString& code) { return tw::db::SqlQ(code); }
    static QString N(long long n) { return QString::number(n); }
    Rs Open(const QString& sql, int type = tw::db::dbOpenDynaset) {
        return db_.OpenRecordset(sql, type);
    }
    void Exec(const QString& sql) { db_.Execute(sql); }
    long Rows(const QString& sql, int type = tw::db::dbOpenDynaset) {
        Rs rs = Open(sql, type);
        if (!rs->Eof()) rs->MoveLast();
        return rs->RecordCount();
    }

    int PrepareBuild() {
        try {
            Exec("delete from LessonListtb where SetFlag<>0");
            Exec("update ClassPlantb Set IsAutoBuild=0,BuildCount=0");
            Rs rs =
                Open("select ClassCode,CourseCode,TeacherCode from LessonListtb where SetFlag=0");
            while (!rs->Eof()) {
                Exec("Update ClassPlantb Set BuildCount=BuildCount+1 where  ClassCode = '" +
                     Q(rs->Fields("ClassCode").Text()) + "' and CourseCode = '" +
                     Q(rs->Fields("CourseCode").Text()) + "' and TeacherCode = '" +
                     Q(rs->Fields("TeacherCode").Text()) + "'");
                rs->MoveNext();
            }
            return 0;
        } catch (const tw::db::DbError&) {
            return -1;
        }
    }

    QString PickTeacherAndCourse(QString& teacher) {
        try {
            QString chosen;
            long long best = 0;
            Rs rs = Open(
                "select count(TeacherCode) as ClassCount,TeacherCode from  (select "
                "ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0 Group by "
                "TeacherCode,ClassCode)  Group by TeacherCode");
            while (!rs->Eof()) {
                if (rs->Fields("ClassCount").Int() > best) {
                    best = rs->Fields("ClassCount").Int();
                    chosen = rs->Fields("TeacherCode").Text();
                }
                rs->MoveNext();
            }
            QString course;
            long long bestClasses = 0, bestTotal = 0;
            rs = Open(
                "SELECT Count(CourseCode) AS ClassCount, CourseCode, sum(SumCount) AS "
                "SumSumCount FROM [SELECT ClassCode, CourseCode, sum(Count) AS SumCount From "
                "ClassPlantb WHERE teachercode='" +
                Q(chosen) +
                "' and IsAutoBuild=0  GROUP BY CourseCode, ClassCode]. AS Temptb  GROUP BY "
                "CourseCode");
            while (!rs->Eof()) {
                const long long classes = rs->Fields("ClassCount").Int();
                const long long total = rs->Fields("SumSumCount").Int();
                if (classes > bestClasses) {
                    course = rs->Fields("CourseCode").Text();
                    bestClasses = classes;
                    bestTotal = total;
                } else if (classes == bestClasses && total > bestTotal) {
                    course = rs->Fields("CourseCode").Text();
                    bestTotal = total;
                }
                rs->MoveNext();
            }
            teacher = chosen;
            return course;
        } catch (const tw::db::DbError&) {
            return {};
        }
    }

    QString PickClass(const QString& course, QString& teacher) {
        try {
            Rs rs = Open(
                "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0  and "
                "CourseCode = '" +
                Q(course) + "' and TeacherCode = '" + Q(teacher) + "'");
            if (rs->RecordCount() == 0) {
                rs = Open(
                    "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0  and "
                    "CourseCode = '" +
                    Q(course) + "'");
                if (rs->RecordCount() == 0) return {};
            }
            teacher = rs->Fields("TeacherCode").Text();
            return rs->Fields("ClassCode").Text();
        } catch (const tw::db::DbError&) {
            return {};
        }
    }

    int GetBuildPercent() {
        try {
            Rs rs = Open(
                "select sum(Count) as SumCount, sum(BuildCount) as SumBuildCount from "
                "ClassPlantb");
            if (rs->Fields("SumCount").IsNull()) return -1;
            const long long s = rs->Fields("SumCount").Int();
            const long long b = rs->Fields("SumBuildCount").Int();
            if (s == 0) return -1;
            return static_cast<int>(std::nearbyint(static_cast<double>(b * 100) / s));
        } catch (const tw::db::DbError&) {
            return -1;
        }
    }

    int BuildPlanLessons(const QString& cls, const QString& course, const QString& teacher) {
        try {
            Rs rs = Open("Select Count,BuildCount from ClassPlantb where  ClassCode = '" + Q(cls) +
                         "' and CourseCode = '" + Q(course) + "'");
            if (rs->Eof()) return -1;
            const long long count = rs->Fields("Count").Int();
            long long buildCount = rs->Fields("BuildCount").Int();
            rs = Open("Select sum(Count) as SumCount from ClassPlantb where  TeacherCode = '" +
                      Q(teacher) + "'");
            const long long sum = rs->Fields("SumCount").Int();
            const int maximum = static_cast<int>(sum / 5 + (sum % 5 > 0 ? 1 : 0));
            if (count <= buildCount) {
                MarkPlanBuilt(cls, course, teacher);
                return 0;
            }
            const double spacing = 5.0 / static_cast<double>(count);
            const double share = 1.0 / spacing;
            double cursor = 1.0;
            for (;;) {
                while (std::floor(cursor) <= 5 && IsTeacherDayFull(teacher, cursor, maximum))
                    cursor = std::floor(cursor) + 1;
                const int lesson = FindLessonSlot(cls, course, teacher, cursor, share);
                if (lesson < 0) {
                    MarkPlanBuilt(cls, course, teacher);
                    return -1;
                }
                Exec("insert into LessonListtb values( '" + Q(cls) + "'," +
                     N(static_cast<long long>(std::floor(cursor))) + "," + N(lesson) + ",'" +
                     Q(course) + "','" + Q(teacher) + "',1)");
                buildCount = buildCount + 1;
                Exec("Update ClassPlantb Set BuildCount=" + N(buildCount) +
                     " where  ClassCode = '" + Q(cls) + "' and CourseCode = '" + Q(course) + "'");
                if (buildCount == count) {
                    MarkPlanBuilt(cls, course, teacher);
                    return 0;
                }
                cursor = cursor + spacing;
            }
        } catch (const tw::db::DbError&) {
            MarkPlanBuilt(cls, course, teacher);
            return -1;
        }
    }

    int FindLessonSlot(const QString& cls, const QString& course, const QString& teacher,
                       double& cursor, double share) {
        const double entry = cursor;
        while (cursor < 6.0) {
            int d = static_cast<int>(std::floor(cursor));
            if (cursor - d >= 0.5 && d < 5) {
                if (static_cast<int>(std::floor(2 * rnd_())) == 1) {
                    d = d + 1;
                    cursor = d;
                }
            }
            for (int pass = 0; pass <= 2; ++pass) {
                const int lesson = FindSlotOnDay(cls, course, teacher, d, share, pass);
                if (lesson > 0) return lesson;
            }
            d = d + 1;
            cursor = d;
        }
        while (cursor > 0) {
            cursor = std::floor(cursor);
            while (cursor > 5) cursor = cursor - 1;
            for (int pass = 0; pass <= 2; ++pass) {
                const int lesson =
                    FindSlotOnDay(cls, course, teacher, static_cast<int>(cursor), share, pass);
                if (lesson > 0) return lesson;
            }
            cursor = cursor - 1;
        }
        cursor = entry;
        return -1;
    }

    int FindSlotOnDay(const QString& cls, const QString& course, const QString& teacher, int d,
                      double share, int pass) {
        try {
            std::vector<long long> candidates;
            if (pass == 1) {
                std::vector<long long> limited;
                Rs rs =
                    Open("Select tbA.LessonNo from Limittb tbA where tbA.Kind=1 and tbA.Code ='" +
                             Q(course) + "' and tbA.Attr<>1 and tbA.day=" + N(d) +
                             " order by tbA.LessonNo",
                         tw::db::dbOpenSnapshot);
                for (; !rs->Eof(); rs->MoveNext()) limited.push_back(rs->Fields("LessonNo").Int());
                for (int l = 1; l <= lessonOfDay_; ++l) {
                    if (std::find(limited.begin(), limited.end(), l) != limited.end()) continue;
                    if (Rows("Select LessonNo from LessonListtb where ClassCode ='" + Q(cls) +
                                 "' and Day=" + N(d) + " and LessonNo=" + N(l),
                             tw::db::dbOpenSnapshot) == 0)
                        candidates.push_back(l);
                }
            } else {
                Rs rs =
                    Open("Select tbA.LessonNo from Limittb tbA where tbA.Kind=1 and tbA.Code ='" +
                             Q(course) + "' and tbA.Attr=" + N(pass) + " and tbA.day=" + N(d) +
                             " and tbA.LessonNo not in (Select tbB.LessonNo from LessonListtb tbB "
                             "where tbB.ClassCode ='" +
                             Q(cls) + "' and tbB.Day=" + N(d) + ")",
                         tw::db::dbOpenSnapshot);
                for (; !rs->Eof(); rs->MoveNext())
                    candidates.push_back(rs->Fields("LessonNo").Int());
            }
            std::vector<long long> qualified;
            for (long long l : candidates) {
                if (Rows("select LessonNo from LessonListtb where  Day=" + N(d) +
                         " and LessonNo=" + N(l) + " and TeacherCode='" + Q(teacher) + "'") > 0)
                    continue;
                if (Rows("select LessonNo from LessonListtb where  Day=" + N(d) +
                         " and LessonNo=" + N(l) + " and CourseCode='" + Q(course) +
                         "' and CourseCode in(select CourseCode from CourseAttrtb)") > 0)
                    continue;
                if (IsCourseDayFull(cls, course, d, share)) continue;
                qualified.push_back(l);
            }
            if (qualified.empty()) return -1;
            const auto k = static_cast<double>(qualified.size());
            return static_cast<int>(qualified[static_cast<size_t>(std::floor(rnd_() * k))]);
        } catch (const tw::db::DbError&) {
            return -1;
        }
    }

    bool IsTeacherDayFull(const QString& teacher, double cursor, int maximum) {
        try {
            return Rows("select TeacherCode from LessonListtb where  TeacherCode='" + Q(teacher) +
                        "' and Day=" + N(static_cast<long long>(std::floor(cursor)))) >= maximum;
        } catch (const tw::db::DbError&) {
            return false;
        }
    }

    bool IsCourseDayFull(const QString& cls, const QString& course, int d, double share) {
        try {
            return Rows("select CourseCode from LessonListtb where  CourseCode='" + Q(course) +
                        "' and ClassCode='" + Q(cls) + "' and Day=" + N(d) +
                        " order by CourseCode") >= static_cast<long>(std::floor(share)) + 1;
        } catch (const tw::db::DbError&) {
            return false;
        }
    }

    int MarkPlanBuilt(const QString& cls, const QString& course, const QString& teacher) {
        try {
            Exec("update ClassPlantb Set IsAutoBuild=1 Where ClassCode='" + Q(cls) +
                 "' and CourseCode='" + Q(course) + "' and TeacherCode='" + Q(teacher) + "'");
            return 0;
        } catch (const tw::db::DbError&) {
            return -1;
        }
    }

    tw::db::Database& db_;
    int lessonOfDay_;
    tw::timetable::RandomSource rnd_;
};
