#!/usr/bin/env python3
"""Writes the layout templates of the printed timetables (GBK XML, as the print library reads
them): ClassSchd6/7.xml and TeacherSchd6/7.xml on A4 portrait, TotalSchd6/7A3.xml on A3
landscape. The build runs it with the program folder as its argument."""
import os
import sys

# A Chinese font that Debian ships (fonts-wqy-microhei).
FONT = "WenQuanYi Micro Hei"

DAYS = ["星期一", "星期二", "星期三", "星期四", "星期五"]
NUMS = ["一", "二", "三", "四", "五", "六", "七"]


def attrs(**kw):
    return "".join(f' {k}="{v}"' for k, v in kw.items())


def text(x, y, value, **kw):
    return f"<text{attrs(x=x, y=y, value=value, fontname=FONT, **kw)}></text>"


def line(x1, y1, x2, y2, width=2):
    return f"<line{attrs(width=width, style=0, xfrom=x1, yfrom=y1, xto=x2, yto=y2)}></line>"


def field(tag, expr, x, y, **kw):
    return f"<{tag}{attrs(x=x, y=y, fontname=FONT, **kw)}>{expr}</{tag}>"


def fitted(tag, expr, x, y, width, height, lines=2, **kw):
    """A field centred on x whose text the renderer keeps inside the box of the given width and
    height below y: the font shrinks by the measured width of the text down to 6 pt, and a text
    still too wide is wrapped onto up to the given number of lines, as many as the height holds;
    what does not fit even so ends with "…" and never leaves the box."""
    return field(tag, expr, x, y, align="center", fitwidth=width, fitheight=height, minfontsize=6,
                 maxlines=lines, **kw)


def slot_marker(x, y):
    """A blank that counts as the record's main data: with it no slot record is ever dropped, so
    every lesson keeps its own cell whatever the names hold."""
    return field("field", '" "', x, y, fontsize=6)


def pagesetting(paper, width, height, landscape):
    return ("<pagesetting><paperkind>%s</paperkind><paperwidth>%d</paperwidth>"
            "<paperheight>%d</paperheight><landscape>%d</landscape>"
            "<offsetx>0</offsetx><offsety>0</offsety></pagesetting>" % (paper, width, height, landscape))


def schedule(n, second_field, second_label):
    """One page per class or teacher: 5 x n slot records, lesson by lesson, days 1 to 5."""
    x0, label_w, col_w = 150, 200, 320
    top, head_h = 420, 100
    row_h = (2750 - top - head_h) // n
    right = x0 + label_w + 5 * col_w
    bottom = top + head_h + n * row_h
    out = []
    # Grid lines, headings and lesson labels.
    for r in range(n + 2):
        y = top if r == 0 else top + head_h + (r - 1) * row_h
        out.append(line(x0, y, right, y, 6 if r in (0, n + 1) else 2))
    for c in range(7):
        x = x0 if c == 0 else x0 + label_w + (c - 1) * col_w
        out.append(line(x, top, x, bottom, 6 if c in (0, 6) else 2))
    # The noon break after the fourth lesson.
    noon = top + head_h + 4 * row_h
    out.append(line(x0, noon - 6, right, noon - 6, 2))
    out.append(text(x0 + label_w // 2, top + 25, "节次", align="center", fontsize=12, b="true"))
    for d, name in enumerate(DAYS):
        out.append(text(x0 + label_w + d * col_w + col_w // 2, top + 25, name, align="center",
                        fontsize=12, b="true"))
    for lesson in range(n):
        out.append(text(x0 + label_w // 2, top + head_h + lesson * row_h + row_h // 2 - 30,
                        "第" + NUMS[lesson] + "节", align="center", fontsize=12))
    # The records: row 0 is the first slot with the title, then the rest of lesson 1, then one
    # row of five slots per lesson.
    rows = []

    pad = 15

    def cell_fields(lesson, day):
        left = x0 + label_w + day * col_w
        cx = left + col_w // 2
        cell_top = top + head_h + lesson * row_h
        half = row_h // 2
        # The course in the upper half of the cell, the teacher (or class) in the lower half;
        # the joined names of several lessons in one slot take up to four lines of a half.
        return [slot_marker(left + pad, cell_top + pad),
                fitted("field", "[coursename]", cx, cell_top + pad, col_w - 2 * pad,
                       half - pad - 5, lines=4, fontsize=14, b="true"),
                fitted("field", "[%s]" % second_field, cx, cell_top + half + 5, col_w - 2 * pad,
                       half - pad - 5, lines=4, fontsize=11, maindata="false")]

    first = [fitted("field", "[title]", 1050, 130, right - x0, 250, fontsize=18, b="true",
                    maindata="false")] + cell_fields(0, 0)
    rows.append('<row repeatnum="1">' + "".join(first) + "</row>")
    rows.append('<row repeatnum="4" xstep="%d">' % col_w + "".join(cell_fields(0, 1)) + "</row>")
    for lesson in range(1, n):
        rows.append('<row repeatnum="5" xstep="%d">' % col_w + "".join(cell_fields(lesson, 0)) +
                    "</row>")
    out.append("<record>" + "".join(rows) + "</record>")
    out.append(text(x0, bottom + 40, second_label, fontsize=10))
    out.append(f'<page x="1050" y="2850" align="center" fontname="{FONT}" fontsize="9"></page>')
    return ("<layout><pages>" '<page continue="true">' + pagesetting("A4", 2100, 2970, 0) +
            "<reporttable>" + "".join(out) + "</reporttable></page></pages></layout>\r\n")


def total(n):
    """The whole school on A3 landscape: one row per class, three cells per slot."""
    x0, name_w = 50, 120
    width = 4200 - 2 * x0 - name_w
    cell_w = width // (5 * n)
    right = x0 + name_w + 5 * n * cell_w
    top, head1, head2, row_h, per_page = 250, 80, 70, 120, 20
    first_row = top + head1 + head2
    bottom = first_row + per_page * row_h
    out = [f'<vartext{attrs(x=2100, y=100, align="center", fontname=FONT, fontsize=18, b="true", fitwidth=right - x0, fitheight=140, minfontsize=6, maxlines=2)}>'
           "[title]</vartext>"]
    for r in range(per_page + 1):
        y = first_row + r * row_h
        out.append(line(x0, y, right, y, 1))
    out.append(line(x0, top, right, top, 4))
    out.append(line(x0 + name_w, top + head1, right, top + head1, 1))
    out.append(line(x0, top, x0, bottom, 4))
    for s in range(5 * n + 1):
        x = x0 + name_w + s * cell_w
        out.append(line(x, top if s % n == 0 else top + head1, x, bottom, 4 if s % n == 0 else 1))
    out.append(text(x0 + name_w // 2, top + 50, "班级", align="center", fontsize=11, b="true"))
    for d, name in enumerate(DAYS):
        out.append(text(x0 + name_w + d * n * cell_w + n * cell_w // 2, top + 15, name,
                        align="center", fontsize=11, b="true"))
        for lesson in range(n):
            out.append(text(x0 + name_w + (d * n + lesson) * cell_w + cell_w // 2, top + head1 + 12,
                            str(lesson + 1), align="center", fontsize=9))
    # Names up to the ten characters the forms allow stay inside their cells: a cell holds five
    # Chinese characters of 6 pt on a line, with a little room on either side.
    pad, half = 3, row_h // 2
    fields = [slot_marker(x0 + 5, first_row + 5),
              fitted("field", "[classnameL11]", x0 + name_w // 2, first_row + 5, name_w - 10,
                     row_h - 10, fontsize=10, b="true")]
    for d in range(5):
        for lesson in range(n):
            cx = x0 + name_w + (d * n + lesson) * cell_w + cell_w // 2
            course = "[coursenameL%d%d]" % (lesson + 1, d + 1)
            teacher = "[teachernameL%d%d]" % (lesson + 1, d + 1)
            fields.append(fitted("field", course, cx, first_row + 4, cell_w - 2 * pad, half - 4,
                                 fontsize=9))
            fields.append(fitted("field", teacher, cx, first_row + half, cell_w - 2 * pad,
                                 half - 4, fontsize=7, maindata="false"))
    out.append('<record><row repeatnum="%d" ystep="%d">' % (per_page, row_h) + "".join(fields) +
               "</row></record>")
    out.append(f'<page x="2100" y="2880" align="center" fontname="{FONT}" fontsize="9"></page>')
    return ("<layout><pages>" '<page continue="true">' + pagesetting("A3", 2970, 4200, 1) +
            "<reporttable>" + "".join(out) + "</reporttable></page></pages></layout>\r\n")


def write(name, content):
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(out, name), "wb") as f:
        f.write(content.encode("gbk"))


for n in (6, 7):
    write("ClassSchd%d.xml" % n, schedule(n, "teachername", "课程 / 任课教师"))
    write("TeacherSchd%d.xml" % n, schedule(n, "classname", "课程 / 班级"))
    write("TotalSchd%dA3.xml" % n, total(n))
