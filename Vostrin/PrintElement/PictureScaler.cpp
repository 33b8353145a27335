#include "PrintElement/PictureScaler.h"

#include <algorithm>
#include <cmath>

namespace TVostrin {

namespace {

// The first source index of output index o, of out indexes over source: ceil(o * source / out).
// Source index s falls in output index floor(s * out / source), which agrees with it.
qint64 StartOf(qint64 o, qint64 source, qint64 out) {
    return (o * source + out - 1) / out;
}

}  // namespace

TPictureScaler::TPictureScaler(qint64 width, qint64 height, QSize out, QRgb background, bool alpha)
    : width_(width), height_(height), out_(out), background_(background) {
    if (width <= 0 || height <= 0 || out.isEmpty() || out.width() > width || out.height() > height)
        return;
    image_ = QImage(out, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image_.isNull()) return;
    image_.fill(background);
    const auto columns = static_cast<size_t>(out.width());
    columnStart_.resize(columns + 1);
    for (size_t o = 0; o <= columns; ++o)
        columnStart_[o] = StartOf(static_cast<qint64>(o), width, out.width());
    sums_.assign(columns * 4, 0);
    counts_.assign(columns, 0);
}

int TPictureScaler::ColumnOf(qint64 x) const {
    return static_cast<int>(x * out_.width() / width_);
}

void TPictureScaler::ToRow(qint64 y) {
    const int row = static_cast<int>(y * out_.height() / height_);
    if (row == row_) return;
    Flush();
    row_ = row;
}

void TPictureScaler::Flush() {
    if (row_ < 0) return;
    const qint64 rows =
        StartOf(row_ + 1, height_, out_.height()) - StartOf(row_, height_, out_.height());
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(row_));
    const double background[4] = {
        static_cast<double>(qAlpha(background_)), static_cast<double>(qRed(background_)),
        static_cast<double>(qGreen(background_)), static_cast<double>(qBlue(background_))};
    for (size_t c = 0; c < counts_.size(); ++c) {
        if (counts_[c] == 0) continue;
        // In double: a claimed size can make an area far beyond what the sums could hold.
        const double area =
            static_cast<double>(rows) * static_cast<double>(columnStart_[c + 1] - columnStart_[c]);
        const double missing = area - static_cast<double>(counts_[c]);
        int channel[4];
        for (size_t k = 0; k < 4; ++k) {
            const double sum = static_cast<double>(sums_[c * 4 + k]) + missing * background[k];
            channel[k] = static_cast<int>(std::clamp(std::lround(sum / area), 0L, 255L));
            sums_[c * 4 + k] = 0;
        }
        // Premultiplied: no colour channel above the alpha.
        for (int k = 1; k < 4; ++k) channel[k] = std::min(channel[k], channel[0]);
        line[c] = qRgba(channel[1], channel[2], channel[3], channel[0]);
        counts_[c] = 0;
    }
}

void TPictureScaler::Add(size_t column, QRgb color, qint64 count) {
    const auto n = static_cast<quint64>(count);
    sums_[column * 4] += qAlpha(color) * n;
    sums_[column * 4 + 1] += qRed(color) * n;
    sums_[column * 4 + 2] += qGreen(color) * n;
    sums_[column * 4 + 3] += qBlue(color) * n;
    counts_[column] += count;
}

void TPictureScaler::SumColumns(qint64 x, const QRgb* pixels, qint64 count, quint64* sums,
                                qint64* counts) const {
    if (x < 0) {
        pixels -= x;
        count += x;
        x = 0;
    }
    count = std::min(count, width_ - x);
    if (count <= 0) return;
    auto column = static_cast<size_t>(ColumnOf(x));
    qint64 next = columnStart_[column + 1];
    for (qint64 i = 0; i < count; ++i) {
        if (x + i >= next) next = columnStart_[++column + 1];
        const QRgb p = pixels[i];
        quint64* sum = sums + column * 4;
        sum[0] += qAlpha(p);
        sum[1] += qRed(p);
        sum[2] += qGreen(p);
        sum[3] += qBlue(p);
        ++counts[column];
    }
}

void TPictureScaler::AddPixels(qint64 y, qint64 x, const QRgb* pixels, qint64 count) {
    if (!Ok() || y < 0 || y >= height_ || x >= width_ || count <= 0) return;
    ToRow(y);
    SumColumns(x, pixels, count, sums_.data(), counts_.data());
}

void TPictureScaler::AddRows(qint64 first, qint64 end, const QRgb* pixels, qint64 count) {
    first = std::max<qint64>(first, 0);
    end = std::min(end, height_);
    if (!Ok() || count <= 0 || first >= end) return;
    // The row summed by output column once; each output row then takes it as many times as it
    // has source rows among them.
    std::vector<quint64> sums(sums_.size(), 0);
    std::vector<qint64> counts(counts_.size(), 0);
    SumColumns(0, pixels, count, sums.data(), counts.data());
    while (first < end) {
        ToRow(first);
        const qint64 rowEnd = std::min(end, StartOf(row_ + 1, height_, out_.height()));
        const auto times = static_cast<quint64>(rowEnd - first);
        for (size_t i = 0; i < sums.size(); ++i) sums_[i] += sums[i] * times;
        for (size_t c = 0; c < counts.size(); ++c)
            counts_[c] += counts[c] * static_cast<qint64>(times);
        first = rowEnd;
    }
}

void TPictureScaler::AddRun(qint64 y, qint64 x, QRgb color, qint64 count) {
    if (!Ok() || y < 0 || y >= height_ || count <= 0) return;
    qint64 at = std::max<qint64>(x, 0);
    const qint64 end = std::min(x + count, width_);
    if (at >= end) return;
    ToRow(y);
    auto column = static_cast<size_t>(ColumnOf(at));
    while (at < end) {
        const qint64 n = std::min(end, columnStart_[column + 1]) - at;
        Add(column++, color, n);
        at += n;
    }
}

QImage TPictureScaler::Finish() {
    if (Ok()) Flush();
    row_ = -1;
    return std::move(image_);
}

}  // namespace TVostrin
