#include "community/eShowDownFile.h"
#include "community/download_target.h"
#include "community/endpoints.h"
#include "community/text_view.h"
#include "settings/lang.h"
#include "settings/settings.h"
#include "ui/message.h"

namespace {
// The name line without its line end, LF or CR LF alike.
eString nameOfLine(eString line) {
    line.removeChars('\n');
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}
}  // namespace

eShowDownFile::eShowDownFile(const char* title) : eWindow(1) {
    community::placeTextWindow(this);
    setText(tr(title));

    community::TextArea area = community::addTextArea(this);
    scrollbar = area.scrollbar;
    visible = area.visible;

    detailLabel = new eLabel(visible);
    detailLabel->move(ePoint(0, 0));
    detailLabel->setFlags(eLabel::flagWrap);
    pageHeight = community::layoutPage(visible, detailLabel);
    scroller.emplace(detailLabel, scrollbar, pageHeight);

    FileDetail detail = loadFileDetail(CORLANG);
    fileName = detail.fileName;
    detailText = detail.text;
    detailLabel->setText(detailText);
    updateScrollbar();
    detailLabel->show();

    auto* download = community::addButton(this, 0, LangT(texts::downloadButton, CORLANG));
    download->selected.connect(SigC::slot(*this, &eShowDownFile::retrieveFile));

    auto* cancel = community::addButton(this, 1, LangT(texts::cancelButton, CORLANG));
    cancel->selected.connect(SigC::slot(*this, &eWidget::accept));

    // Once per window, so one completion shows one box.
    fetcher.downloadDone.connect(SigC::slot(*this, &eShowDownFile::FileDownDone));
    fetcher.downloadFailed.connect(SigC::slot(*this, &eShowDownFile::FileDownFailed));

    busy = 0;
    setFocus(download);
}

eShowDownFile::~eShowDownFile() = default;

void eShowDownFile::showText(const eString& text) { community::showFromTop(*scroller, detailLabel, text); }

void eShowDownFile::updateScrollbar() { scroller->update(); }

void eShowDownFile::retrieveFile() {
    eString name = nameOfLine(fileName);
    // The name becomes a path in the download directory: refuse anything
    // that would leave it, name the directory itself, hide or reorder what
    // it shows, or land on one of the plug-in's own files.
    if (!downloads::usableTarget(CORDDIR, name)) {
        showMessage(tr("The server sent an unusable file name."), tr("Warning"), warningBoxFlags);
        return;
    }
    showText(LangT(texts::waitDownload, CORLANG));
    if (busy) return;
    busy = 1;
    eString url = endpoints::fileDownload(name);
    eString target = CORDDIR + name;
    guard = 0;
    fetcher.fetch(url, target);
}

void eShowDownFile::FileDownDone(int) {
    detailLabel->hide();
    if (guard) return;
    guard = 1;
    busy = 0;
    eString name = nameOfLine(fileName);
    eString message =
        LangT(texts::downloadedFile, CORLANG) + name + LangT(texts::downloadedToDirectory, CORLANG) + CORDDIR;
    showMessage(message, LangT(texts::downloadCompletedCaption, CORLANG), eMessageBox::btOK | eMessageBox::iconInfo);
    accept();
}

// The fetcher has shown what went wrong; the details come back so that
// the user can try again or leave.
void eShowDownFile::FileDownFailed(int) {
    if (guard) return;
    guard = 1;
    busy = 0;
    showText(detailText);
}

int eShowDownFile::eventHandler(const eWidgetEvent& event) {
    if (community::handleTextKeys(*this, *scroller, event)) return 1;
    return eWindow::eventHandler(event);
}
