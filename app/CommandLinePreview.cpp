#include "app/CommandLinePreview.h"

#include "app/CStandardStream.h"
#include "app/RenameFilesToCase.h"
#include "dirselect/FileCountText.h"
#include "dirselect/PlannedFileText.h"
#include "filesystem/SystemErrorText.h"
#include "platform/AfxMessageBox.h"
#include "renaming/RunPreview.h"
#include "wine/WineHost.h"

#include <atomic>

namespace {

// Lines go out in pieces, so that a directory of any size needs no text of its size.
class CLineWriter {
public:
    explicit CLineWriter(CStandardStream& stream) : m_stream(stream) {}
    ~CLineWriter() { Flush(); }
    CLineWriter(const CLineWriter&) = delete;
    CLineWriter& operator=(const CLineWriter&) = delete;

    void Line(const std::wstring& line) {
        if (!m_text.empty()) m_text += L'\n';
        m_text += line;
        if (m_text.size() > 32768) Flush();
    }
    void Flush() {
        if (!m_text.empty()) m_stream.WriteLines(m_text);
        m_text.clear();
    }

private:
    CStandardStream& m_stream;
    std::wstring m_text;
};

}  // namespace

int PreviewFromCommandLine(const CaseChange& change, const std::wstring& directory) {
    // "X:" alone would mean the drive's remembered directory; a run takes its root.
    std::wstring root = directory.size() == 2 ? directory + L"\\" : directory;
    std::atomic<bool> bStop{false};
    RunPlan plan = PlanRun(change, wine::ExactPath(root), bStop);
    if (plan.counts.listingError != ERROR_SUCCESS) {
        AfxMessageBox(AfxToWide("Verzeichnis nicht lesbar: ") + AfxSystemReason(plan.counts.listingError) + L"\n" +
                          directory,
                      MB_OK | MB_ICONHAND, 0);
        return static_cast<int>(RunEnd::NothingDone);
    }
    if (!plan.counts.bListed) {
        AfxMessageBox(AfxToWide("Das Verzeichnis ist nicht lesbar: ") + directory, MB_OK | MB_ICONHAND, 0);
        return static_cast<int>(RunEnd::NothingDone);
    }
    CStandardStream output(STD_OUTPUT_HANDLE);
    CLineWriter lines(output);
    for (const PlannedFile& file : plan.renamed) lines.Line(file.name + L" -> " + file.plan.target);
    const std::wstring keeps = AfxToWide(": beh\xE4lt seinen Namen (");
    for (const PlannedFile& file : plan.kept) lines.Line(file.name + keeps + PlannedFileNote(change, file) + L")");
    lines.Line(AfxToWide(FileCountText(change, plan.counts)));
    return static_cast<int>(plan.kept.empty() ? RunEnd::AllInCase : RunEnd::SomeKept);
}
