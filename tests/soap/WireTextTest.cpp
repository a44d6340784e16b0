// The wire text conversion of the message strings, written and read in memory.
#include <gtest/gtest.h>

#include <string>

#include "CZuWireText.h"
#include "SoapTestSupport.h"

using namespace ZuAssets;

namespace {

// GBK bytes and UTF-8 of two CJK characters: U+4E2D (20013) and U+6587 (25991).
const std::string kZhongGbk = "\xd6\xd0";
const std::string kWenGbk = "\xce\xc4";
const std::string kZhongUtf8 = "\xe4\xb8\xad";
const std::string kWenUtf8 = "\xe6\x96\x87";

class WireText : public ::testing::Test {
protected:
    // The XML of one types:Attribute (inside a list, so that it carries no
    // namespace declarations).
    std::string attributeXml(const std::string& group, const std::string& name,
                             const std::string& value) {
        types__AttributeListType list;
        types__AttributeType attribute;
        attribute.Group = group;
        attribute.Name = name;
        attribute.__item = value;
        list.Attribute.push_back(&attribute);
        return elementOf(context.write(list, "types:Attributes"), "types:Attribute");
    }

    // The XML of a types:InterplayURI element holding text.
    std::string textXml(const std::string& text) {
        types__InterplayURIListType list;
        list.InterplayURI.push_back(text);
        return elementOf(context.write(list, "types:InterplayURIs"), "types:InterplayURI");
    }

    // Reads <types:Attributes> with the given inner XML.
    types__AttributeListType readAttributes(const std::string& inner) {
        types__AttributeListType list;
        EXPECT_EQ(SOAP_OK, context.read("<types:Attributes>" + inner + "</types:Attributes>", list,
                                        "types:Attributes"));
        return list;
    }

    std::string readText(const std::string& xmlText) {
        types__InterplayURIListType list;
        EXPECT_EQ(SOAP_OK, context.read("<types:InterplayURIs><types:InterplayURI>" + xmlText +
                                            "</types:InterplayURI></types:InterplayURIs>",
                                        list, "types:InterplayURIs"));
        return list.InterplayURI.empty() ? "<none>" : list.InterplayURI[0];
    }

    std::string readName(const std::string& rawName) {
        types__AttributeListType list = readAttributes("<types:Attribute Name=\"" + rawName + "\">v</types:Attribute>");
        return list.Attribute.empty() ? "<none>" : list.Attribute[0]->Name;
    }

    InMemoryContext context;
};

TEST_F(WireText, DoubleByteCharacterGoesOutAsOneDecimalReference) {
    EXPECT_EQ("<types:InterplayURI>a&#20013;&#25991;b</types:InterplayURI>",
              textXml("a" + kZhongGbk + kWenGbk + "b"));
    EXPECT_EQ("<types:Attribute Group=\"&#20013;\" Name=\"x&#25991;\">&#20013;&#25991;</types:Attribute>",
              attributeXml(kZhongGbk, "x" + kWenGbk, kZhongGbk + kWenGbk));
    // A trail byte in the ASCII range belongs to its character: U+4E02 is 0x81 0x40.
    EXPECT_EQ("<types:InterplayURI>&#19970;</types:InterplayURI>", textXml("\x81\x40"));
}

TEST_F(WireText, ElementTextEscapes) {
    EXPECT_EQ("<types:InterplayURI>a&amp;b&lt;c&gt;d\"e'f&#xD;g&#xA;h\ti</types:InterplayURI>",
              textXml("a&b<c>d\"e'f\rg\nh\ti"));
    // Escapes and references in one text.
    EXPECT_EQ("<types:InterplayURI>&lt;&#20013;&amp;&#xA;</types:InterplayURI>",
              textXml("<" + kZhongGbk + "&\n"));
}

TEST_F(WireText, AttributeValueEscapes) {
    EXPECT_EQ("<types:Attribute Group=\"a&amp;b&lt;c>d&quot;e'f&#xD;g&#xA;h&#x9;i\" "
              "Name=\"&#20013;&quot;\">v</types:Attribute>",
              attributeXml("a&b<c>d\"e'f\rg\nh\ti", kZhongGbk + "\"", "v"));
}

TEST_F(WireText, BytesThatFormNoCharacterStayWithinTheText) {
    // A lone lead byte at the end, a lead byte whose next byte cannot trail
    // it, control bytes: one replacement character each; the rest as usual.
    EXPECT_EQ("<types:InterplayURI>x&#65533;</types:InterplayURI>", textXml("x\xd6"));
    EXPECT_EQ("<types:InterplayURI>&#65533;&lt;y</types:InterplayURI>", textXml("\xd6<y"));
    EXPECT_EQ("<types:InterplayURI>a&#65533;&#65533;b</types:InterplayURI>", textXml("a\x01\x1f" "b"));
    EXPECT_EQ("<types:Attribute Group=\"&#65533;\" Name=\"n&#65533;\">&#65533;v</types:Attribute>",
              attributeXml("\x02", "n\xd6", "\x1bv"));
}

TEST_F(WireText, EmptyStringAttributesAreLeftOutBooleanAttributesAlwaysWritten) {
    EXPECT_EQ("<types:Attribute>v</types:Attribute>", attributeXml("", "", "v"));
    EXPECT_EQ("<types:Attribute Name=\"n\"/>", attributeXml("", "n", ""));

    types__SearchGroupType group;
    types__FileInUseConditionType inUse;
    inUse.InUse = false;
    group.FileInUseCondition = &inUse;
    std::string xml = context.write(group, "types:SearchGroup");
    EXPECT_EQ(std::string::npos, xml.find("Operator=")) << xml;
    EXPECT_EQ(std::string::npos, xml.find("Negated=")) << xml;
    EXPECT_EQ("<types:FileInUseCondition InUse=\"false\"></types:FileInUseCondition>",
              elementOf(xml, "types:FileInUseCondition"));
}

TEST_F(WireText, AttributesOfOtherElementsGoOutAsUtf8) {
    // Only types:Attribute carries user text in attributes; the runtime
    // writes the others, as UTF-8, with the same replacements.
    types__SearchGroupType group;
    group.Operator = "AND" + kZhongGbk + "\x01";
    std::string xml = context.write(group, "types:SearchGroup");
    EXPECT_NE(std::string::npos, xml.find("Operator=\"AND" + kZhongUtf8 + "\xef\xbf\xbd\"")) << xml;
}

TEST_F(WireText, OtherCodePages) {
    {
        ThreadCodePage latin(1252);
        EXPECT_EQ("<types:InterplayURI>caf&#233;</types:InterplayURI>", textXml("caf\xe9"));
    }
    {
        ThreadCodePage utf8(65001);
        // An incomplete sequence: one replacement per byte.
        EXPECT_EQ("<types:InterplayURI>&#20013;&#65533;&#65533;</types:InterplayURI>",
                  textXml(kZhongUtf8 + "\xe4\xb8"));
        EXPECT_EQ(kZhongUtf8, readText("&#x4E2D;"));
    }
}

TEST_F(WireText, IncomingCharactersBelow256AreOneByteOthersTheCodePage) {
    EXPECT_EQ(kZhongGbk + kWenGbk, readText(kZhongUtf8 + "&#25991;"));
    EXPECT_EQ("\xe9", readText("\xc3\xa9"));
    EXPECT_EQ("\xe9\xe9", readText("&#233;&#xE9;"));
    EXPECT_EQ("a<b>&\"", readText("a&lt;b&gt;&amp;&quot;"));
    // Characters the code page lacks: a Thai letter and one beyond U+FFFF.
    EXPECT_EQ("??", readText("\xe0\xb8\x81\xf0\x9f\x98\x80"));
    EXPECT_EQ("", readText(""));
}

TEST_F(WireText, IncomingTextFollowsTheThreadsCodePage) {
    EXPECT_EQ(kZhongGbk, readText(kZhongUtf8));
    {
        ThreadCodePage utf8(65001);
        EXPECT_EQ(kZhongUtf8, readText(kZhongUtf8));
        EXPECT_EQ(kZhongUtf8, readName(kZhongUtf8 + kZhongUtf8).substr(0, 3));
    }
    EXPECT_EQ(kZhongGbk + kZhongGbk, readName(kZhongUtf8 + kZhongUtf8));
    EXPECT_EQ(kZhongGbk, readText(kZhongUtf8));
}

TEST_F(WireText, IncomingBytesThatAreNotUtf8) {
    // Sequences the runtime passes on but that are no character (a surrogate,
    // beyond U+10FFFF): a replacement per byte, which the code page shows as
    // '?'. A stray byte reaches the module as the character of its value.
    EXPECT_EQ("???" + kZhongGbk, readText("\xed\xa0\x80" + kZhongUtf8));
    EXPECT_EQ("????", readText("\xf4\x90\x80\x80"));
    EXPECT_EQ("\x80x", readText("\x80x"));
    // A sequence cut short by markup spoils the XML: the read fails.
    types__InterplayURIListType list;
    EXPECT_NE(SOAP_OK, context.read("<types:InterplayURIs><types:InterplayURI>\xe4\xb8</types:InterplayURI>"
                                    "</types:InterplayURIs>",
                                    list, "types:InterplayURIs"));
}

TEST_F(WireText, IncomingAttributeValuesAreStoredAsTheyArrive) {
    types__AttributeListType list = readAttributes(
        "<types:Attribute Group=\"" + kZhongUtf8 + "&#25991;\">" + kZhongUtf8 + "</types:Attribute>");
    ASSERT_EQ(1u, list.Attribute.size());
    EXPECT_EQ(kZhongUtf8 + kWenUtf8, list.Attribute[0]->Group);
    EXPECT_EQ(kZhongGbk, list.Attribute[0]->__item);
}

TEST_F(WireText, NameOfAnAttributeHasItsOwnReadingRule) {
    // Two CJK characters: those two characters in the code page, four bytes.
    EXPECT_EQ(kZhongGbk + kWenGbk, readName(kZhongUtf8 + kWenUtf8));
    // A name that starts with ASCII is stored unchanged: seven bytes.
    EXPECT_EQ("A" + kZhongUtf8 + kWenUtf8, readName("A" + kZhongUtf8 + kWenUtf8));
    // So is one whose second byte is ASCII, and the short ones.
    EXPECT_EQ("\xc3" "A", readName("\xc3" "A"));
    EXPECT_EQ("a", readName("a"));
    EXPECT_EQ("", readName(""));
    // Other characters after CJK ones are kept, not cut or mangled.
    EXPECT_EQ(kZhongGbk + "A" + kWenGbk + "\xa8\xa6", readName(kZhongUtf8 + "A" + kWenUtf8 + "\xc3\xa9"));
    // Characters beyond U+FFFF are left out.
    EXPECT_EQ(kZhongGbk + kWenGbk, readName(kZhongUtf8 + "\xf0\x9f\x98\x80" + kWenUtf8));
    // Bytes that are not UTF-8 (overlong, cut short): a replacement each.
    std::string out;
    CZuWireText::AttributeName(("\xc0\xaf" + kZhongUtf8).c_str(), out);
    EXPECT_EQ("??" + kZhongGbk, out);
    CZuWireText::AttributeName((kZhongUtf8 + "\xe4\xb8").c_str(), out);
    EXPECT_EQ(kZhongGbk + "??", out);
    CZuWireText::AttributeName(nullptr, out);
    EXPECT_EQ("", out);
}

TEST_F(WireText, NameKeepsAtMost255Characters) {
    std::string name255, name256, gbk255;
    for (int i = 0; i < 255; ++i) {
        name255 += kZhongUtf8;
        gbk255 += kZhongGbk;
    }
    name256 = name255 + kWenUtf8;
    EXPECT_EQ(gbk255, readName(name255));
    EXPECT_EQ(gbk255, readName(name256));
    std::string out;
    CZuWireText::AttributeName(name256.c_str(), out);
    EXPECT_EQ(510u, out.size());
}

// Every text field of the requests takes the same way out, whichever message
// carries it; the operations' own tests send plain text and rely on this.
TEST_F(WireText, TextFieldsOfEveryRequestGoOutConverted) {
    const std::string text = kZhongGbk + " <" + kWenGbk + "&>";
    const std::string xml = "&#20013; &lt;&#25991;&amp;&gt;";
    types__CreateFolderType createFolder;
    createFolder.InterplayURI = text;
    types__MoveType move;
    move.InterplayAssetURI = text;
    move.InterplayFolderURI = text;
    types__GetLocatorsType getLocators;
    getLocators.InterplayURI = text;
    types__LocatorType locator;
    locator.Comment = text;
    locator.Color = text;
    locator.Track = text;
    const std::string createFolderXml = context.write(createFolder, "types:CreateFolder");
    const std::string moveXml = context.write(move, "types:Move");
    const std::string getLocatorsXml = context.write(getLocators, "types:GetLocators");
    const std::string locatorXml = context.write(locator, "types:Locator");
    const struct {
        const std::string& xml;
        const char* element;
    } rows[] = {
        {createFolderXml, "types:InterplayURI"},
        {moveXml, "types:InterplayAssetURI"},
        {moveXml, "types:InterplayFolderURI"},
        {getLocatorsXml, "types:InterplayURI"},
        {locatorXml, "types:Comment"},
        {locatorXml, "types:Color"},
        {locatorXml, "types:Track"},
    };
    for (const auto& row : rows) {
        const std::string element = row.element;
        EXPECT_EQ("<" + element + ">" + xml + "</" + element + ">", elementOf(row.xml, element)) << row.xml;
    }
    EXPECT_EQ("<types:InterplayURI>" + xml + "</types:InterplayURI>", textXml(text));
    EXPECT_EQ("<types:Attribute Group=\"&#20013;\" Name=\"&#25991;\">" + xml + "</types:Attribute>",
              attributeXml(kZhongGbk, kWenGbk, text));
    // And back: an attribute's text as it arrives.
    types__AttributeListType list = readAttributes("<types:Attribute Name=\"n\">a &amp; b</types:Attribute>");
    ASSERT_EQ(1u, list.Attribute.size());
    EXPECT_EQ("a & b", list.Attribute[0]->__item);
}

} // namespace
