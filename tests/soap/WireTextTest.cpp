// The wire text conversion of the message strings, written and read in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CZuWireText.h"
#include "KoCodePage.h"
#include "SoapTestSupport.h"
#include "TestPlatform.h"

using namespace ZuAssets;

namespace {

// GBK bytes and UTF-8 of two CJK characters: U+4E2D (20013) and U+6587 (25991).
const std::string kZhongGbk = "\xd6\xd0";
const std::string kWenGbk = "\xce\xc4";
const std::string kZhongUtf8 = "\xe4\xb8\xad";
const std::string kWenUtf8 = "\xe6\x96\x87";

// A UTF-8 text in the thread's code page.
std::string Ansi(const std::string& utf8) { return KoUtf8ToAnsi(utf8.data(), utf8.size()); }

// Whether the thread took UTF-8 (65001) as its code page: the stand-in does;
// on Windows no locale has it, and the thread keeps the code page it had.
bool Utf8CodePageTaken() {
    bool taken = KoGetThreadCodePage() == 65001;
    EXPECT_EQ(ByPlatform(true, false), taken);
    return taken;
}

// Every character of the thread's code page (936): the euro sign and each
// double-byte pair that is a character, in byte order.
std::vector<std::string> EveryCharacter() {
    std::vector<std::string> chars{"\x80"};
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
            // A character: one wide character that narrows back to the pair.
            wchar_t wide[2];
            char back[4];
            if (MultiByteToWideChar(CP_THREAD_ACP, 0, pair, 2, wide, 2) == 1 && wide[0] != 0xFFFD &&
                WideCharToMultiByte(CP_THREAD_ACP, 0, wide, 1, back, sizeof back, nullptr, nullptr) == 2 &&
                back[0] == pair[0] && back[1] == pair[1])
                chars.emplace_back(pair, 2);
        }
    }
    return chars;
}

class WireText : public ::testing::Test {
protected:
    // The XML of one types:Attribute (inside a list, so that it carries no
    // namespace declarations).
    std::string attributeXml(const std::string& group, const std::string& name, const std::string& value) {
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
        types__AttributeListType list =
            readAttributes("<types:Attribute Name=\"" + rawName + "\">v</types:Attribute>");
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
    EXPECT_EQ(
        "<types:Attribute Group=\"a&amp;b&lt;c>d&quot;e'f&#xD;g&#xA;h&#x9;i\" "
        "Name=\"&#20013;&quot;\">v</types:Attribute>",
        attributeXml("a&b<c>d\"e'f\rg\nh\ti", kZhongGbk + "\"", "v"));
}

TEST_F(WireText, BytesThatFormNoCharacterStayWithinTheText) {
    // The stand-in makes one replacement character of each: a lone lead byte
    // at the end, a lead byte whose next byte cannot trail it, 0xFF, a pair of
    // a user-defined area or an unassigned one. Windows' own conversion, which
    // the component follows there, makes '?' of a lead byte that starts no
    // character (taking the next byte along) and private-use characters of
    // the others. Control bytes are replaced on both.
    const struct {
        std::string text, onLinux, onWindows;
    } rows[] = {
        {"x\xd6", "x&#65533;", "x?"},
        {"\xd6<y", "&#65533;&lt;y", "?y"},
        {"a\xff", "a&#65533;", "a&#63733;"},
        {"\xaa\xa1|\xa1\x40|\xfe\x50", "&#65533;|&#65533;|&#65533;", "&#57344;|&#58566;|&#59413;"},
        {"\xa2\xa0|\xa6\xd9", "&#65533;|&#65533;", "&#58757;|&#59277;"},
        {"a\x01\x1f"
         "b",
         "a&#65533;&#65533;b", "a&#65533;&#65533;b"},
    };
    for (const auto& row : rows)
        EXPECT_EQ("<types:InterplayURI>" + ByPlatform(row.onLinux, row.onWindows) + "</types:InterplayURI>",
                  textXml(row.text))
            << row.onLinux;
    EXPECT_EQ(ByPlatform<std::string>(
                  "<types:Attribute Group=\"&#65533;\" Name=\"n&#65533;\">&#65533;v</types:Attribute>",
                  "<types:Attribute Group=\"&#65533;\" Name=\"n?\">&#65533;v</types:Attribute>"),
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
        // Latin-1 characters come back as their bytes; CJK ones the code
        // page lacks as '?'.
        EXPECT_EQ(
            "caf\xe9 3\xd7"
            "4 30\xb0 ?",
            readText("caf&#233; 3\xc3\x97"
                     "4 30\xc2\xb0 " +
                     kZhongUtf8));
        EXPECT_EQ("\xabok\xbb", readName("\xc2\xabok\xc2\xbb"));
    }
    ThreadCodePage utf8(65001);
    if (Utf8CodePageTaken()) {
        // An incomplete sequence: one replacement per byte.
        EXPECT_EQ("<types:InterplayURI>&#20013;&#65533;&#65533;</types:InterplayURI>",
                  textXml(kZhongUtf8 + "\xe4\xb8"));
        EXPECT_EQ(kZhongUtf8 + "\xc3\xa9", readText("&#x4E2D;&#233;"));
    }
}

TEST_F(WireText, IncomingCharactersGoToTheCodePage) {
    EXPECT_EQ(kZhongGbk + kWenGbk, readText(kZhongUtf8 + "&#25991;"));
    EXPECT_EQ("a<b>&\"", readText("a&lt;b&gt;&amp;&quot;"));
    // Characters below 256 too: they are characters of the code page, not
    // bytes (a byte of 0x81 or above would start a double-byte character).
    EXPECT_EQ(Ansi("é"), readText("\xc3\xa9"));
    EXPECT_EQ(Ansi("éé"), readText("&#233;&#xE9;"));
    EXPECT_EQ(Ansi("30°C"), readText("30&#176;C"));
    EXPECT_EQ(Ansi("3×4 长"), readText("3&#215;4 &#38271;"));
    EXPECT_EQ(Ansi("张·三"), readText("张·三"));
    EXPECT_EQ(Ansi("Café"), readText("Café"));
    // Characters the code page lacks: guillemets, a Thai letter and one
    // beyond U+FFFF.
    EXPECT_EQ("?ok?", readText("«ok»"));
    EXPECT_EQ("?", readText("\xe0\xb8\x81"));
    // A private-use character: the stand-in's code page lacks it; Windows'
    // has the user-defined areas.
    EXPECT_EQ(ByPlatform<std::string>("?", "\xaa\xa1"), readText("&#xE000;"));
    // One '?' for each wide character it takes (two where they are UTF-16).
    EXPECT_EQ(std::string(sizeof(wchar_t) == 2 ? 2 : 1, '?'), readText("\xf0\x9f\x98\x80"));
    EXPECT_EQ("", readText(""));
}

TEST_F(WireText, EveryCharacterOfTheCodePageComesBackInTextGroupAndName) {
    // As a server sends them (UTF-8) and as the module writes them
    // (references), in texts that begin with an ASCII character and in texts
    // that do not, in runs of 80 characters: the runtime's reader mangles the
    // first attribute of an element when its references decode to more than
    // 255 bytes.
    std::vector<std::string> chars = EveryCharacter();
    ASSERT_GT(chars.size(), 21000u);
    for (size_t at = 0; at < chars.size(); at += 80) {
        std::string run;
        for (size_t i = at; i < chars.size() && i < at + 80; ++i) run += chars[i];
        std::string utf8 = KoAnsiToUtf8(run.c_str());
        EXPECT_EQ(run, readText(utf8)) << at;
        const std::string open = "<types:InterplayURI>", close = "</types:InterplayURI>";
        std::string xml = textXml(run);
        EXPECT_EQ(run, readText(xml.substr(open.size(), xml.size() - open.size() - close.size()))) << at;
        for (const std::string& lead : {std::string(), std::string("A")}) {
            const std::string sent[] = {"<types:Attribute Group=\"" + lead + utf8 + "\" Name=\"" + lead +
                                            utf8 + "\">v</types:Attribute>",
                                        attributeXml(lead + run, lead + run, "v")};
            for (const std::string& attribute : sent) {
                types__AttributeListType list = readAttributes(attribute);
                ASSERT_EQ(1u, list.Attribute.size());
                EXPECT_EQ(lead + run, list.Attribute[0]->Group) << at;
                EXPECT_EQ(lead + run, list.Attribute[0]->Name) << at;
            }
        }
    }
}

TEST_F(WireText, IncomingTextFollowsTheThreadsCodePage) {
    EXPECT_EQ(kZhongGbk, readText(kZhongUtf8));
    {
        ThreadCodePage utf8(65001);
        if (Utf8CodePageTaken()) {
            EXPECT_EQ(kZhongUtf8, readText(kZhongUtf8));
            EXPECT_EQ(kZhongUtf8, readName(kZhongUtf8 + kZhongUtf8).substr(0, 3));
        }
    }
    EXPECT_EQ(kZhongGbk + kZhongGbk, readName(kZhongUtf8 + kZhongUtf8));
    EXPECT_EQ(kZhongGbk, readText(kZhongUtf8));
}

TEST_F(WireText, IncomingBytesThatAreNotUtf8) {
    // Sequences the runtime passes on but that are no character (a surrogate,
    // beyond U+10FFFF): a replacement per byte, which the code page shows as
    // '?'. A stray byte reaches the module as the character of its value,
    // which the code page lacks.
    EXPECT_EQ("???" + kZhongGbk, readText("\xed\xa0\x80" + kZhongUtf8));
    EXPECT_EQ("????", readText("\xf4\x90\x80\x80"));
    EXPECT_EQ("?x", readText("\x80x"));
    // A sequence cut short by markup spoils the XML: the read fails.
    types__InterplayURIListType list;
    EXPECT_NE(SOAP_OK, context.read("<types:InterplayURIs><types:InterplayURI>\xe4\xb8</types:InterplayURI>"
                                    "</types:InterplayURIs>",
                                    list, "types:InterplayURIs"));
}

TEST_F(WireText, IncomingAttributeValuesAreConvertedLikeElementText) {
    types__AttributeListType list =
        readAttributes("<types:Attribute Group=\"" + kZhongUtf8 + "&#25991;\">" + kZhongUtf8 +
                       "</types:Attribute>"
                       "<types:Attribute Group=\"用户组\" Name=\"V2版本\">Café×</types:Attribute>");
    ASSERT_EQ(2u, list.Attribute.size());
    EXPECT_EQ(kZhongGbk + kWenGbk, list.Attribute[0]->Group);
    EXPECT_EQ(kZhongGbk, list.Attribute[0]->__item);
    EXPECT_EQ(Ansi("用户组"), list.Attribute[1]->Group);
    EXPECT_EQ(Ansi("V2版本"), list.Attribute[1]->Name);
    EXPECT_EQ(Ansi("Café×"), list.Attribute[1]->__item);
}

TEST_F(WireText, NameIsReadLikeElementTextUpTo255Characters) {
    // Two CJK characters: those two characters in the code page, four bytes;
    // after the letter A, five bytes.
    EXPECT_EQ(kZhongGbk + kWenGbk, readName(kZhongUtf8 + kWenUtf8));
    EXPECT_EQ("A" + kZhongGbk + kWenGbk, readName("A" + kZhongUtf8 + kWenUtf8));
    EXPECT_EQ(Ansi("Café×"), readName("Caf&#233;\xc3\x97"));
    EXPECT_EQ("a", readName("a"));
    EXPECT_EQ("", readName(""));
    EXPECT_EQ(kZhongGbk + "A" + kWenGbk + "\xa8\xa6", readName(kZhongUtf8 + "A" + kWenUtf8 + "\xc3\xa9"));
    // A character beyond U+FFFF, which the code page lacks, and bytes that are
    // not UTF-8 (a lone lead byte, overlong, cut short): '?' each, as in
    // element text.
    EXPECT_EQ(kZhongGbk + std::string(sizeof(wchar_t) == 2 ? 2 : 1, '?') + kWenGbk,
              readName(kZhongUtf8 + "\xf0\x9f\x98\x80" + kWenUtf8));
    std::string out;
    CZuWireText::AttributeName(
        "\xc3"
        "A",
        out);
    EXPECT_EQ("?A", out);
    CZuWireText::AttributeName(("\xc0\xaf" + kZhongUtf8).c_str(), out);
    EXPECT_EQ("??" + kZhongGbk, out);
    CZuWireText::AttributeName((kZhongUtf8 + "\xe4\xb8").c_str(), out);
    EXPECT_EQ(kZhongGbk + "??", out);
    CZuWireText::AttributeName(nullptr, out);
    EXPECT_EQ("", out);

    // At most 255 characters, whatever they are.
    std::string name255, name256, gbk255;
    for (int i = 0; i < 255; ++i) {
        name255 += kZhongUtf8;
        gbk255 += kZhongGbk;
    }
    name256 = name255 + kWenUtf8;
    EXPECT_EQ(gbk255, readName(name255));
    EXPECT_EQ(gbk255, readName(name256));
    EXPECT_EQ("A" + gbk255.substr(0, 508), readName("A" + name255));
    EXPECT_EQ(std::string(255, 'n'), readName(std::string(300, 'n')));
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
