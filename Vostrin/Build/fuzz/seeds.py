#!/usr/bin/env python3
"""Writes the seeds of the layout builder's fuzz target into corpus/: the test data's templates
with their data documents as raw text, and programs of choices (see BuildFuzz.cc) for many page
templates, thousands of placeholders, long texts and many records, envelopes and duplex jobs."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data")
CORPUS = os.path.join(HERE, "corpus")


class Program:
    """Choices as BuildFuzz.cc reads them: bytes, little-endian words, and Below(n) as a byte
    when n <= 256, else a word."""

    def __init__(self):
        self.out = bytearray([1])  # odd: a program of choices

    def byte(self, v):
        self.out.append(v & 0xFF)
        return self

    def word(self, v):
        self.out += bytes([v & 0xFF, (v >> 8) & 0xFF])
        return self

    def below(self, n, v):
        return self.byte(v) if n <= 256 else self.word(v)

    # Element kinds of BuildFuzz.cc.
    def text(self, length, piece=0):
        self.below(10, 0)
        if length >= 256:
            self.byte(0).word(length // 4)
        else:
            self.byte(64).byte(length)
        return self.byte(10).below(4, piece)

    def placeholders(self, tag, count):
        return self.below(10, 1).below(4, tag).below(8000, count - 1)

    def record(self, rows, scope=False):
        """rows: lists of (repeat, fields); each field is (kind, expression, expression)."""
        self.below(10, 2).byte(0 if scope else 1).below(3, len(rows) - 1)
        for repeat, fields in rows:
            self.below(40, repeat).byte(40).byte(0).below(4, len(fields) - 1)
            for kind, first, second in fields:
                self.below(5, kind).byte(10).byte(20).below(4, 1).below(13, first)
                self.below(13, second).byte(30)
        return self

    def simple(self, kind, expression=0):
        self.below(10, kind)
        if kind in (3, 4, 5):
            self.below(13, expression)
        return self

    def page(self, flags, elements):
        """elements: callables adding one element each."""
        self.byte(flags).below(16, len(elements))
        for add in elements:
            add(self)
        return self

    def job(self, shape, templates, bodies, records, value_length, piece=0, max_pages=None):
        self.byte(shape)
        self.below(4000 if shape & 8 else 8, templates - 1)
        self.below(4, len(bodies) - 1)
        for flags, elements in bodies:
            self.page(flags, elements)
        self.below(20001 if shape & 16 else 40, records)
        self.word(value_length).below(4, piece)
        if shape & 4:
            self.byte(max_pages + 128)
        return bytes(self.out)


FIELDS = [(0, 0, 0), (0, 1, 0), (1, 9, 0), (3, 3, 4), (4, 2, 12)]
CONTINUE, RECORD_CONTINUE, PRINT_ONCE, ENVELOPE, DESC, DESC_A, SETTING = 1, 2, 4, 8, 16, 32, 64


def shapes():
    rec = lambda p: p.record([(5, FIELDS[:3]), (3, FIELDS[3:])])
    yield "many-templates", Program().job(
        8, 3000, [(0, [rec, lambda p: p.placeholders(0, 2)]),
                  (CONTINUE | RECORD_CONTINUE, [rec, lambda p: p.simple(3, 3)])], 30, 8)
    yield "many-templates-once", Program().job(
        8 | 16, 3999, [(PRINT_ONCE | SETTING, [lambda p: p.text(20)]),
                       (CONTINUE, [rec])], 2000, 4)
    yield "many-placeholders", Program().job(
        0, 2, [(CONTINUE | DESC, [rec, lambda p: p.placeholders(0, 2500),
                                  lambda p: p.placeholders(1, 2500)]),
               (0, [lambda p: p.simple(6), lambda p: p.placeholders(2, 2500),
                    lambda p: p.placeholders(3, 2500)])], 39, 3)
    yield "long-texts", Program().job(
        16, 1, [(CONTINUE, [rec, lambda p: p.text(80000, 0), lambda p: p.text(30000, 1),
                            lambda p: p.text(16000, 2)])], 1500, 2000, 1)
    yield "many-records", Program().job(
        16, 2, [(CONTINUE | RECORD_CONTINUE, [rec, lambda p: p.simple(5, 12)]),
                (CONTINUE, [lambda p: p.record([(39, FIELDS)], scope=True)])], 20000, 10)
    yield "envelopes-duplex", Program().job(
        1 | 4, 5, [(ENVELOPE, [lambda p: p.placeholders(2, 3), lambda p: p.simple(4, 1)]),
                   (CONTINUE | DESC | DESC_A, [rec, lambda p: p.simple(6),
                                               lambda p: p.placeholders(3, 2)]),
                   (CONTINUE | DESC, [rec, lambda p: p.simple(6), lambda p: p.simple(7)])],
        37, 12, max_pages=3)
    yield "empty-pages-zero-envelope", Program().job(
        1 | 4 | 2, 3, [(0, []), (ENVELOPE | CONTINUE, [lambda p: p.simple(8)])], 0, 0,
        max_pages=-128)


def raw(layout, data, ini=b""):
    return b"\x00" + layout + b"\x00" + data + b"\x00" + ini


def main():
    os.makedirs(CORPUS, exist_ok=True)
    for name, program in shapes():
        with open(os.path.join(CORPUS, name + ".bin"), "wb") as f:
            f.write(program)
    read = lambda n: open(os.path.join(DATA, n), "rb").read()
    for layout, data in [("computed.xml", "five_records.xml"), ("continue_two.xml", "five_records.xml"),
                         ("cover_once.xml", "three_records.xml"), ("duplex_desc.xml", "five_records.xml"),
                         ("pages_ab.xml", "three_records.xml")]:
        with open(os.path.join(CORPUS, "raw-" + layout.replace(".xml", ".bin")), "wb") as f:
            f.write(raw(read(layout), read(data), b"[Envelope]\r\nMaxPages=2\r\n"))


if __name__ == "__main__":
    main()
