#include "news/RSSParser.h"
#include <cstring>
#include "host/xmltree.h"
#include "news/feed_reading.h"
#include "text/text_cleaning.h"
#include "ui/message.h"

namespace {

eString withoutLineBreaks(eString text) {
    text.removeChars('\n');
    text.removeChars('\r');
    return text;
}

eString cleanTitle(eString text) {
    replace_sonderzeichen(text);
    return textPrefix(withoutLineBreaks(text), feedreading::maxTitleBytes);
}

// Addresses keep their blanks and every other byte; only the XML-escaped
// ampersand and the line breaks go.
eString cleanLink(eString text) {
    text = withoutLineBreaks(replaceAll(text, "&amp;", "&"));
    return text.size() <= feedreading::maxLinkBytes ? text : eString();
}

eString cleanDescription(eString text) {
    text = replaceAll(text, "&amp;", "&");
    replace_sonderzeichen(text);
    return removeTags(withoutLineBreaks(text));
}

eString cleanDate(eString text) {
    replace_sonderzeichen(text);
    return textPrefix(replaceAll(withoutLineBreaks(text), "+0100", ""), feedreading::maxDateBytes);
}

// Fills the fields of `item` from the children of one item element. RSS 1.0
// items carry no date and no link we use. Descriptions take their bytes
// from `descriptionBudget`.
void readItem(const XMLTreeNode* element, NewsItem& item, bool withDateAndLink, size_t& descriptionBudget) {
    using feedreading::isNamed;
    using feedreading::nodeText;
    for (const XMLTreeNode* child = element->GetChild(); child; child = child->GetNext()) {
        if (isNamed(child, "title")) {
            item.title = cleanTitle(nodeText(child));
        } else if (isNamed(child, "description")) {
            item.description = utf8Prefix(cleanDescription(nodeText(child)), descriptionBudget);
            descriptionBudget -= item.description.size();
        } else if (withDateAndLink && isNamed(child, "link")) {
            item.link = cleanLink(nodeText(child));
        } else if (withDateAndLink && isNamed(child, "pubDate")) {
            item.date = cleanDate(nodeText(child));
        }
    }
}

void reportError(const eString& text) { showMessage(text, tr("Error"), warningBoxFlags); }

}  // namespace

RSSParser::~RSSParser() = default;

void RSSParser::save(NewsItem item) { items.push_back(std::move(item)); }

void RSSParser::parse(eString file) {
    feedreading::File in(std::fopen(file.c_str(), "rt"));
    items.clear();
    if (!in) {
        reportError(tr("RSS file not found"));
        return;
    }

    char chunk[feedreading::chunkSize];
    size_t length = std::fread(chunk, 1, sizeof chunk, in.get());
    eString encoding = feedreading::rssEncoding(chunk, length);
    auto parser = std::make_unique<XMLTreeParser>(encoding.c_str());
    bool ok = feedreading::streamInto(*parser, in.get(), chunk, length);
    in.reset();
    if (!ok) {
        reportError(tr("XML parse error (general xml)"));
        return;
    }

    const XMLTreeNode* root = parser->RootNode();
    if (!root) {
        reportError(tr("XML parse error (rootnode)"));
        return;
    }

    // Every item starts empty, so a missing element never shows the
    // previous item's text.
    int32_t counter = 0;
    size_t descriptionBudget = feedreading::maxDescriptionTotal;
    auto take = [&](const XMLTreeNode* element, bool withDateAndLink) {
        if (items.size() >= feedreading::maxItems) return;
        NewsItem item;
        readItem(element, item, withDateAndLink, descriptionBudget);
        item.index = counter++;
        save(std::move(item));
    };

    if (feedreading::isNamed(root, "rss")) {
        for (const XMLTreeNode* channel = root->GetChild(); channel; channel = channel->GetNext()) {
            if (!feedreading::isNamed(channel, "channel")) continue;
            for (const XMLTreeNode* node = channel->GetChild(); node; node = node->GetNext())
                if (feedreading::isNamed(node, "item")) take(node, true);
        }
    } else if (feedreading::isNamed(root, "rdf:RDF")) {
        for (const XMLTreeNode* node = root->GetChild(); node; node = node->GetNext())
            if (feedreading::isNamed(node, "item")) take(node, false);
    } else {
        eString name = root->GetType() ? root->GetType() : "";
        eString shown = utf8Prefix(name, feedreading::maxShownRootName);
        if (shown.size() < name.size()) shown += "...";
        eString text;
        text.sprintf("Unknown file format (%s)", shown.c_str());
        reportError(text);
    }
}
