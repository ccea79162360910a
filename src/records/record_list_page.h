#pragma once
// The two list pages (films, from the network records; local files, from the
// local records): one table row per record whose link plays it ("open://" n) and
// whose hidden icon deletes it ("delk://" n), n being the line number in the
// record file. The program writes these pages into its folder and shows them
// in the two list panes.
#include "records/record_format.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace qarvel::records {

// Width of the visible text of a row, in display units (2 per Chinese character).
inline constexpr int kRowTextWidth = 24;

// The page for a record file's bytes, in GBK. Titles and file names come from
// the service and from disk, so they are HTML-escaped and the title attribute
// is quoted; everything else is the page's fixed markup.
QByteArray RenderRecordList(const QByteArray& recordFileBytes, RecordFile file);

// Called after a page file was rewritten, with the page's full path; the main
// window navigates the list's pane (Web3 for Network, Web4 for Local) to it.
using PageRebuiltHandler = std::function<void(RecordFile file, const QString& pagePath)>;

class ListPageWriter {
public:
    // files names the record files and the pages.
    explicit ListPageWriter(ProgramFiles files, PageRebuiltHandler onRebuilt = {});

    // Reads the record file, writes its page atomically, reports it through the
    // handler and returns the page's path. nullopt, with the old page left as
    // it was and no report, when the record file cannot be read or the page
    // cannot be written.
    std::optional<QString> RenderRecordList(RecordFile file) const;
    // As RenderRecordList, but a page that already shows what the record file
    // holds is left as it is (not written, not reported). At start-up: a kill
    // between a record file's rewrite and its page's leaves a page whose links
    // name other lines.
    std::optional<QString> RefreshRecordList(RecordFile file) const;

    QString pagePath(RecordFile file) const { return pageFilePath(files_, file); }
    QString recordPath(RecordFile file) const { return recordFilePath(files_, file); }

private:
    std::optional<QString> writePage(RecordFile file, bool evenWhenCurrent) const;

    ProgramFiles files_;
    PageRebuiltHandler onRebuilt_;
};

}  // namespace qarvel::records
