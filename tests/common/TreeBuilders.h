#pragma once

#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QTest>

#include <memory>
#include <string>

// Lets QCOMPARE print item texts.
inline char *toString(const ItemText &text)
{
    return QTest::toString(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

// Small helpers that tests share for building trees and native bytes.
namespace TreeBuilders {

inline LinkItem *addFolder(LinkItem &parent, std::string name)
{
    auto item = LinkItem::MakeFolder(std::move(name));
    LinkItem *raw = item.get();
    parent.Children.InsertSorted(std::move(item));
    return raw;
}

inline LinkItem *addLink(LinkItem &parent, std::string name, std::string url)
{
    auto item = LinkItem::MakeLink(std::move(name), std::move(url));
    LinkItem *raw = item.get();
    parent.Children.InsertSorted(std::move(item));
    return raw;
}

// Root "Quillmark": "Travel" (holding "Europe" (holding "France" with "Café de Flore" and an empty "Paris") and
// "Asia" holding an empty "Japan"), "Work" (two links, "Wiki" the same page as "Cafeteria menu"), link
// "Cafeteria menu".
inline std::unique_ptr<LinkItem> travelCollection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *travel = addFolder(*root, "Travel");
    LinkItem *europe = addFolder(*travel, "Europe");
    LinkItem *france = addFolder(*europe, "France");
    addLink(*france, "Caf\xc3\xa9 de Flore", "http://cafe.example/flore")->Description = "Breakfast in Paris";
    addFolder(*france, "Paris");
    LinkItem *asia = addFolder(*travel, "Asia");
    addFolder(*asia, "Japan");
    LinkItem *work = addFolder(*root, "Work");
    addLink(*work, "Tracker", "http://tracker.example/");
    addLink(*work, "Wiki", "http://intranet.example/menu");
    addLink(*root, "Cafeteria menu", "http://intranet.example/menu");
    return root;
}

// Root "Quillmark": folders "Alpha" (holding "Inner", empty but for the empty "Deep", and link "a1") and "Beta"
// (link "b1"), links "Example" and "Other".
inline std::unique_ptr<LinkItem> editingCollection()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    LinkItem *alpha = addFolder(*root, "Alpha");
    addFolder(*addFolder(*alpha, "Inner"), "Deep");
    addLink(*alpha, "a1", "http://a1");
    addLink(*addFolder(*root, "Beta"), "b1", "http://b1");
    addLink(*root, "Example", "http://example.com");
    addLink(*root, "Other", "http://other.example");
    return root;
}

// The bytes of root as the data file holds it.
inline QByteArray nativeBytes(const LinkItem &root)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    NativeFile::write(buffer, root, nullptr);
    return bytes;
}

// Little-endian pieces of a native file, for writing bytes by hand.
inline QByteArray int32(qint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((static_cast<quint32>(value) >> (8 * i)) & 0xFF);
    return bytes;
}

inline QByteArray text(const QByteArray &value)
{
    return int32(static_cast<qint32>(value.size())) + value;
}

// One first-version record without its child count.
inline QByteArray firstVersionFields(const QByteArray &name, const QByteArray &url = {}, bool folder = true,
                                     qint32 visits = 0)
{
    return text(name) + text(url) + text({}) + QByteArray(1, folder ? '\1' : '\0') + int32(visits);
}

// One version 10000 record without its child count.
inline QByteArray fields10000(const QByteArray &name, const QByteArray &url = {}, bool folder = true, qint32 visits = 0)
{
    return firstVersionFields(name, url, folder, visits) + QByteArray(1, '\0') + QByteArray(8, '\0');
}

} // namespace TreeBuilders
