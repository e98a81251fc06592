#include "SweepRunner.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <ostream>
#include <thread>

#include "DesignRun.h"
#include "ProjectFile.h"
#include "RunInputAdapter.h"

namespace velumo {

namespace {

double seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string clockText(double s)
{
    const long total = static_cast<long>(s + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

int defaultJobs() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

// Rows come back from the threads in any order; they are written in design
// order as soon as the rows before them are in.
class OrderedRows {
public:
    OrderedRows(std::FILE* file, std::uint64_t first)
        : m_file(file)
        , m_next(first)
    {
    }
    // Returns the number of rows written so far.
    std::uint64_t add(std::uint64_t index, std::string row)
    {
        m_pending.emplace(index, std::move(row));
        for (auto it = m_pending.begin(); it != m_pending.end() && it->first == m_next;
             it = m_pending.erase(it), ++m_next, ++m_written) {
            if (std::fwrite(it->second.data(), 1, it->second.size(), m_file) != it->second.size()
                && m_error == 0)
                m_error = errno;
        }
        return m_written;
    }
    int error() const { return m_error; }

private:
    std::FILE* m_file;
    std::uint64_t m_next;
    std::uint64_t m_written = 0;
    std::map<std::uint64_t, std::string> m_pending;
    int m_error = 0;
};

} // namespace

std::string designFolderName(std::uint64_t index, std::uint64_t designCount)
{
    const size_t width = std::to_string(designCount > 0 ? designCount - 1 : 0).size();
    std::string name = std::to_string(index);
    return std::string(width > name.size() ? width - name.size() : 0, '0') + name;
}

ProgressBar::ProgressBar(std::ostream& err, std::uint64_t total, bool enabled)
    : m_err(err)
    , m_total(total)
    , m_enabled(enabled)
    , m_start(seconds())
{
}

void ProgressBar::update(std::uint64_t done)
{
    if (!m_enabled)
        return;
    const double now = seconds();
    if (m_lastDraw >= 0 && now - m_lastDraw < 0.1)
        return;
    m_lastDraw = now;
    draw(done);
}

void ProgressBar::finish(std::uint64_t done)
{
    if (!m_enabled)
        return;
    draw(done);
    m_err << '\n' << std::flush;
}

void ProgressBar::draw(std::uint64_t done)
{
    constexpr int kWidth = 30;
    const double elapsed = seconds() - m_start;
    const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0.0;
    const int filled = m_total ? static_cast<int>(kWidth * static_cast<double>(done) / m_total) : kWidth;
    std::string line = "\r[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "] "
        + std::to_string(done) + "/" + std::to_string(m_total) + "  ";
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, "%.0f/s", rate);
    line += rateText;
    if (rate > 0)
        line += "  noch " + clockText(static_cast<double>(m_total - done) / rate);
    m_err << line << "   " << std::flush;
}

int runSweep(const IniFile& project, const SimOptions& o, std::ostream& err, bool progress)
{
    SweepPlan plan;
    std::string error;
    makeSweepPlan(o.sweeps, o.sets, &plan, &error); // checked with the arguments
    const IndexRange range
        = o.shard ? shardRange(plan.designCount, *o.shard) : IndexRange { 0, plan.designCount };

    const std::filesystem::path out(o.outDir);
    const std::string summaryPath = (out / kSummaryFileName).string();
    const std::string partPath = summaryPath + ".part";
    std::FILE* file = std::fopen(partPath.c_str(), "wb");
    if (!file) {
        err << "Fehler: " << partPath << " kann nicht geschrieben werden: " << systemErrorText(errno) << '\n';
        return kSimWriteFailed;
    }
    std::string header = "index";
    for (const Sweep& s : plan.sweeps)
        header += "," + csvField(keyColumn(s.section, s.key));
    header += "," + designColumnsHeader() + "\n";
    std::fputs(header.c_str(), file);

    const int jobs = static_cast<int>(std::min<std::uint64_t>(
        o.jobs > 0 ? o.jobs : defaultJobs(), std::max<std::uint64_t>(1, range.end - range.begin)));
    std::atomic<std::uint64_t> next { range.begin };
    std::atomic<std::uint64_t> failed { 0 };
    std::mutex mutex;
    OrderedRows rows(file, range.begin);
    ProgressBar bar(err, range.end - range.begin, progress);
    Design loaded;
    loadDesignValues(project, loaded);
    auto work = [&] {
        for (std::uint64_t i; (i = next++) < range.end;) {
            const std::vector<KeyValue> values = designValues(plan, i);
            const std::string folder
                = o.keepLists ? (out / designFolderName(i, plan.designCount)).string() : std::string();
            // The sweep spreads designs over the cores; one design, one thread.
            const DesignRun run = runDesign(project, values, o.band, folder, 1, &loaded);
            if (run.status != kSimOk)
                ++failed;
            std::string row = std::to_string(i);
            for (const KeyValue& v : values)
                row += "," + csvField(v.value);
            row += "," + designColumns(run) + "\n";
            const std::lock_guard lock(mutex);
            bar.update(rows.add(i, std::move(row)));
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    bar.finish(range.end - range.begin);

    const bool written = rows.error() == 0 && std::fflush(file) == 0 && !std::ferror(file);
    const int writeError = rows.error() ? rows.error() : errno;
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (!written || !closed || (std::filesystem::rename(partPath, summaryPath, ec), ec)) {
        err << "Fehler: " << summaryPath
            << " kann nicht geschrieben werden: " << systemErrorText(ec ? ec.value() : writeError) << '\n';
        std::filesystem::remove(partPath, ec);
        return kSimWriteFailed;
    }
    if (failed > 0)
        err << failed << " von " << (range.end - range.begin)
            << " Entwürfen ohne Erfolg; ihr Status steht in der Spalte status von " << summaryPath << ".\n";
    return kSimOk;
}

} // namespace velumo
