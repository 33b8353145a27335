-- The timetable database: eight tables. Text columns compare without regard to case; number
-- columns hold whole numbers only. LessonListtb and Limittb are filled by position, so their
-- column order is fixed.

CREATE TABLE Classtb (
    Code      TEXT COLLATE NOCASE,
    Name      TEXT COLLATE NOCASE,
    FullName  TEXT COLLATE NOCASE,
    ShortName TEXT COLLATE NOCASE
);
CREATE TABLE Coursetb (
    Code      TEXT COLLATE NOCASE,
    Name      TEXT COLLATE NOCASE,
    FullName  TEXT COLLATE NOCASE,
    ShortName TEXT COLLATE NOCASE
);
CREATE TABLE Teachertb (
    Code      TEXT COLLATE NOCASE,
    Name      TEXT COLLATE NOCASE,
    FullName  TEXT COLLATE NOCASE,
    ShortName TEXT COLLATE NOCASE
);
CREATE TABLE ClassRoomtb (
    Code      TEXT COLLATE NOCASE,
    Name      TEXT COLLATE NOCASE,
    FullName  TEXT COLLATE NOCASE,
    ShortName TEXT COLLATE NOCASE
);

CREATE TABLE ClassPlantb (
    ClassCode   TEXT COLLATE NOCASE,
    CourseCode  TEXT COLLATE NOCASE,
    TeacherCode TEXT COLLATE NOCASE,
    Count       INTEGER CHECK (Count IS NULL OR CAST(Count AS INTEGER) = Count),
    IsAutoBuild INTEGER DEFAULT 0 CHECK (IsAutoBuild IS NULL OR CAST(IsAutoBuild AS INTEGER) = IsAutoBuild),
    BuildCount  INTEGER DEFAULT 0 CHECK (BuildCount IS NULL OR CAST(BuildCount AS INTEGER) = BuildCount)
);

CREATE TABLE LessonListtb (
    ClassCode   TEXT COLLATE NOCASE,
    Day         INTEGER CHECK (Day IS NULL OR CAST(Day AS INTEGER) = Day),
    LessonNo    INTEGER CHECK (LessonNo IS NULL OR CAST(LessonNo AS INTEGER) = LessonNo),
    CourseCode  TEXT COLLATE NOCASE,
    TeacherCode TEXT COLLATE NOCASE,
    SetFlag     INTEGER CHECK (SetFlag IS NULL OR CAST(SetFlag AS INTEGER) = SetFlag)
);

CREATE TABLE Limittb (
    Kind     INTEGER CHECK (Kind IS NULL OR CAST(Kind AS INTEGER) = Kind),
    Code     TEXT COLLATE NOCASE,
    Day      INTEGER CHECK (Day IS NULL OR CAST(Day AS INTEGER) = Day),
    LessonNo INTEGER CHECK (LessonNo IS NULL OR CAST(LessonNo AS INTEGER) = LessonNo),
    Attr     INTEGER CHECK (Attr IS NULL OR CAST(Attr AS INTEGER) = Attr)
);

CREATE TABLE CourseAttrtb (
    CourseCode TEXT COLLATE NOCASE
);

-- Master codes are unique; the lookups and the cascades search by them.
CREATE UNIQUE INDEX Classtb_Code ON Classtb (Code);
CREATE UNIQUE INDEX Coursetb_Code ON Coursetb (Code);
CREATE UNIQUE INDEX Teachertb_Code ON Teachertb (Code);
CREATE UNIQUE INDEX ClassRoomtb_Code ON ClassRoomtb (Code);
CREATE INDEX Classtb_Name ON Classtb (Name);
CREATE INDEX Coursetb_Name ON Coursetb (Name);
CREATE INDEX Teachertb_Name ON Teachertb (Name);
CREATE INDEX ClassRoomtb_Name ON ClassRoomtb (Name);

-- The builder, hand editing and the slot tests look lessons up by class, by teacher and by
-- course within a day. Not unique: the school-year upgrade shifts class codes row by row.
CREATE INDEX LessonListtb_Class ON LessonListtb (ClassCode, Day, LessonNo);
CREATE INDEX LessonListtb_Teacher ON LessonListtb (TeacherCode, Day, LessonNo);
CREATE INDEX LessonListtb_Course ON LessonListtb (CourseCode, Day, LessonNo);

CREATE INDEX ClassPlantb_Class ON ClassPlantb (ClassCode, CourseCode, TeacherCode);
CREATE INDEX ClassPlantb_Teacher ON ClassPlantb (TeacherCode, IsAutoBuild);
CREATE INDEX ClassPlantb_Course ON ClassPlantb (CourseCode, IsAutoBuild);

CREATE INDEX Limittb_Slot ON Limittb (Kind, Code, Day, LessonNo);
CREATE INDEX CourseAttrtb_Course ON CourseAttrtb (CourseCode);
