// Percent-done tracker that reports each rise of the percentage to an optional callback.
#pragma once

namespace velmarq {

class ProgressCallback {
  public:
    virtual ~ProgressCallback() = default;
    // flag is passed through unchanged; the monitor never reads it.
    virtual void Progress(void* value1, void* value2, unsigned percent, bool* flag) = 0;
};

class ProgressMonitor {
  public:
    ProgressMonitor(ProgressCallback* callback = nullptr, void* value1 = nullptr,
                    void* value2 = nullptr)
        : value1_(value1), value2_(value2), callback_(callback) {}

    void Start(unsigned total);
    void Advance(unsigned n, bool* flag = nullptr);
    void SetPosition(unsigned pos, bool* flag = nullptr);
    void Finish(bool* flag = nullptr);

    unsigned Total() const { return total_; }
    unsigned Current() const { return current_; }
    unsigned Percent() const { return PercentOf(current_, total_); }
    static unsigned PercentOf(unsigned current, unsigned total);

  private:
    void MoveTo(unsigned pos, bool* flag);

    unsigned total_ = 0;
    unsigned current_ = 0;
    void* value1_;
    void* value2_;
    ProgressCallback* callback_;
};

}  // namespace velmarq
