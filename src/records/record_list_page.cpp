#include "records/record_list_page.h"

#include "common/atomic_file.h"
#include "common/display_width.h"
#include "common/escape_text.h"
#include "common/logging.h"
#include "common/text_codec.h"
#include "common/text_lines.h"

namespace qarvel::records {
namespace {

// The page says it is GBK: a browser left to guess reads a page of Latin
// names around a GBK middle dot as Western text.
const char kPageStart[] =
    "<html><head><meta charset=\"gbk\"><title></title><style type=\"text/css\">"
    "*{margin:0;padding:0;border:0px;}body{overflow:auto;background:#212121;}"
    "html{scrollbar-face-color:#2A2929;scrollbar-highlight-color:#353434;scrollbar-shadow-color:#000000;"
    "scrollbar-3dlight-color:#000000;scrollbar-arrow-color:#515151;scrollbar-track-color:#1F1D1C;"
    "scrollbar-darkshadow-color:#201F1E;}"
    "a:link,a:visited,a:active,a:hover{color:#DBDBDB;text-decoration:none;display:block}"
    "td{padding-left:3px;height:25px;line-height:25px;font-size:12px;border-bottom:1px solid #161616;color:#DBDBDB;}"
    "td img{width:11px;height:11px;margin-top:2px;}"
    "</style></head>"
    "<body oncontextmenu=\"return false\" ondragstart=\"return false\">"
    "<table id=\"v1\" width=\"99%\" cellpadding=\"0\" cellspacing=\"0\" border=\"0\">";

const char kPageEnd[] =
    "</table><div id='vd' style='display:none'></div>"
    "<script type=\"text/javascript\">var obj=document.getElementById(\"v1\");\r\n"
    "var obj1=document.getElementById(\"vd\");\r\n"
    "for(var i=0;i<obj.rows.length;i++){\r\n"
    "obj.rows[i].onmouseover=function(){obj1.style.background=this.style.backgroundColor;"
    "this.style.background='#312D26';this.cells[1].style.display ='block';this.cells[2].style.display = 'none';}\r\n"
    "obj.rows[i].onmouseout=function(){this.style.background=obj1.style.background;"
    "this.cells[1].style.display = 'none';this.cells[2].style.display = 'block';}}\r\n"
    "</script></body></html>\r\n"
    "\r\n";

QString escapeHtml(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

QString recordRow(const QString& fullText, const QString& shortText, qint64 lineNumber) {
    const QString n = QString::number(lineNumber);
    return QLatin1String("<tr><td align=left width=95%><a title=\"") + escapeHtml(fullText) +
           QLatin1String("\" href=open://") + n + QLatin1String(">") + QChar(0x00B7) + escapeHtml(shortText) +
           QLatin1String("</a></td><td width=4% style='display:none'><a href=delk://") + n +
           QLatin1String("><img src=i.gif alt=") + QStringLiteral("删除") +
           QLatin1String("></a></td><td>&nbsp;</td></tr>");
}

}  // namespace

QByteArray RenderRecordList(const QByteArray& recordFileBytes, RecordFile file) {
    const qsizetype shownField = file == RecordFile::Network ? 1 : 0;
    QString rows;
    qint64 lineNumber = 0;
    for (const QByteArray& line : splitTextLines(recordFileBytes)) {
        ++lineNumber;
        if (!isRecordLine(line)) continue;
        const QStringList fields = splitRecordLine(line);
        const QString fullText = shownField < fields.size() ? UnescapeText(fields[shownField]) : QString();
        const QString shortText = CutToWidth(fullText, kRowTextWidth);
        if (shortText.isEmpty()) continue;
        rows += recordRow(fullText, shortText, lineNumber);
    }
    if (rows.isEmpty()) rows = QStringLiteral("<tr><td colspan=2 align=center>暂无记录</td></tr>");
    return QByteArray(kPageStart) + toGbk(rows) + QByteArray(kPageEnd);
}

ListPageWriter::ListPageWriter(ProgramFiles files, PageRebuiltHandler onRebuilt)
    : files_(std::move(files)), onRebuilt_(std::move(onRebuilt)) {}

std::optional<QString> ListPageWriter::RenderRecordList(RecordFile file) const { return writePage(file, true); }

std::optional<QString> ListPageWriter::RefreshRecordList(RecordFile file) const { return writePage(file, false); }

std::optional<QString> ListPageWriter::writePage(RecordFile file, bool evenWhenCurrent) const {
    const QString source = recordPath(file);
    const QString path = pagePath(file);
    // The pane keeps showing the old page, whose links may name other lines
    // than the record file now holds: say so where someone can see it.
    const std::optional<QByteArray> records = readWholeFile(source);
    if (!records) {
        qCWarning(lcClient).noquote() << "the list page" << path << "was not rebuilt:" << source << "cannot be read";
        return std::nullopt;
    }
    const QByteArray page = records::RenderRecordList(*records, file);
    if (!evenWhenCurrent && readWholeFile(path) == page) return path;
    // The page is made again from its record file at every start, so a click
    // that records a film waits for the disk once, for the record file.
    if (!writeFileAtomically(path, page, nullptr, WriteDurability::RebuiltAtStart)) {
        qCWarning(lcClient).noquote() << "the list page" << path << "could not be written";
        return std::nullopt;
    }
    if (onRebuilt_) onRebuilt_(file, path);
    return path;
}

}  // namespace qarvel::records
