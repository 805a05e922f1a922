// The profile panels' operations on the headless backend: the lists built
// from the catalogues, selection, add, delete, copy, rename, import, export
// and reset, with scripted message boxes and file dialogs.

#include "panel_fixture.h"

namespace quellix::profiles::pages::test {
namespace {

using Names = std::vector<std::string>;

std::string shown(const std::string& key) {
    return dui::CResourceManager::GetInstance()->GetText(key);
}
std::vector<std::string> shown(std::initializer_list<const char*> keys) {
    std::vector<std::string> out;
    for (const char* key : keys) {
        out.push_back(shown(key));
    }
    return out;
}

TEST_F(PanelTest, FillListsTheCatalogueOrMakesTheFirstProfile) {
    writeCatalogue(Family::PadLighting, {"a", "b"});
    writeDefault(Family::KeyboardLighting, 7);
    writeDefault(Family::KeyboardKeys, 8);
    // The mouse's first run stops at the device family's missing default,
    // so the mouse lighting list stays empty though its default is there.
    writeDefault(Family::MouseLighting, 9);
    panels_->FillAll();

    struct Case {
        Family family;
        Names items;
        int count; // in the catalogue afterwards
        int payload;
    };
    const Case cases[] = {
        {Family::PadLighting, {"a", "b"}, 2, -1},   {Family::KeyboardLighting, {"profile1"}, 1, 7},
        {Family::KeyboardKeys, {"profile1"}, 1, 8}, {Family::MouseDevice, {}, 0, -1},
        {Family::MouseLighting, {}, 0, -1},         {Family::MouseKeys, {}, 0, -1},
    };
    for (const Case& c : cases) {
        const auto name = familyInfo(c.family).name;
        EXPECT_EQ(texts(c.family), c.items) << name;
        EXPECT_EQ(list(c.family).GetCurSel(), -1) << name;
        EXPECT_EQ(Catalogue(c.family, data_.path()).count(), c.count) << name;
        if (c.payload >= 0) {
            EXPECT_EQ(payloadOf("profile1", c.family), c.payload) << name;
            EXPECT_EQ(Catalogue(c.family, data_.path()).name(0), "profile1");
        }
    }
    // The box is shown once the start-up is over.
    EXPECT_TRUE(boxes().empty());
    backend_.Pump();
    EXPECT_EQ(boxes(), shown({"message_text_8"}));
    EXPECT_TRUE(takeCalls().empty()) << "a fill selects and loads nothing";
}

TEST_F(PanelTest, FillTakesTheKeyboardVariantsDefault) {
    host_.variant = 2;
    writeDefault(Family::KeyboardLighting, 5, 0);
    writeDefault(Family::KeyboardLighting, 6, 2);
    EXPECT_TRUE(panel(Family::KeyboardLighting).Fill());
    EXPECT_EQ(payloadOf("profile1", Family::KeyboardLighting), 6);
}

TEST_F(PanelTest, FillListsDamagedNamesWithoutTouchingFiles) {
    // A hand-edited catalogue: a count beyond its names and a name that
    // would leave the directory.
    const Catalogue cat(Family::PadLighting, data_.path());
    ASSERT_TRUE(cat.setCount(3));
    ASSERT_TRUE(cat.setName(0, "../escape"));
    ASSERT_TRUE(cat.setName(1, "ok"));
    panel(Family::PadLighting).Fill();
    EXPECT_EQ(texts(Family::PadLighting), (Names{"../escape", "ok", "0"}));
    dui::UserDriver(window_, backend_).SelectItem("mp_deng_profile_combo", 0);
    EXPECT_EQ(takeCalls().front(), "load 0 missing");
    click("mp_pro_deng_copy_btn");
    EXPECT_EQ(boxes(), shown({kBadNameMessage})) << "\"../escape copy\" names no file";
    dui::UserDriver(window_, backend_).SelectItem("mp_deng_profile_combo", 2);
    EXPECT_EQ(takeCalls().front(), "load 2 missing");
    click("mp_pro_deng_copy_btn");
    EXPECT_EQ(boxes(), shown({"message_text_8"}));
    EXPECT_EQ(texts(Family::PadLighting).size(), 3u);
}

TEST_F(PanelTest, SelectShowsTheNameAppliesAndTellsTheOtherPages) {
    struct Case {
        Family family;
        std::vector<std::string> after; // the calls after the load
    };
    const Case cases[] = {
        {Family::PadLighting, {"refresh lighting 2", "changed 2"}},
        {Family::KeyboardLighting, {"refresh lighting 0"}},
        {Family::KeyboardKeys, {"refresh key assignment 0", "key page"}},
        {Family::MouseDevice,
         {"refresh mouse device 1", "changed 1", "refresh key assignment 1", "key page"}},
        {Family::MouseLighting, {"wheel", "refresh mouse device 1", "changed 1"}},
        {Family::MouseKeys, {"refresh key assignment 1", "key page"}},
    };
    for (const Case& c : cases) {
        const auto& controls = familyControls(c.family);
        writeCatalogue(c.family, {"first", "second"});
        panel(c.family).Fill();
        takeCalls();
        ASSERT_TRUE(dui::UserDriver(window_, backend_).SelectItem(std::string(controls.list), 1));
        std::vector<std::string> expected = {"load 1 byte 2"};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(takeCalls(), expected) << familyInfo(c.family).name;
        EXPECT_EQ(text(std::string(controls.prefix) + "_profile_name_edit"), "second");
        EXPECT_EQ(Catalogue(c.family, data_.path()).selection(), 1);
        // The same item again: nothing runs.
        panel(c.family).SelectQuietly(1);
        EXPECT_TRUE(takeCalls().empty());
    }
}

TEST_F(PanelTest, SelectHidesAnOpenKeyFunctionPanel) {
    writeCatalogue(Family::KeyboardKeys, {"a"});
    panel(Family::KeyboardKeys).Fill();
    ASSERT_TRUE(visible("kb_tab_function"));
    panel(Family::KeyboardKeys).SelectQuietly(0);
    EXPECT_FALSE(visible("kb_tab_function"));
    EXPECT_FALSE(window_.FindControl("kb_tab_function")->IsEnabled());
}

TEST_F(PanelTest, AddChoosesTheFirstFreeNameAndAppliesTheDefault) {
    struct Case {
        Names existing;
        std::string added;
    };
    const Case cases[] = {
        {{"profile1", "profile3"}, "profile2"},
        {{"Profile1"}, "profile2"},
        {{"mine"}, "profile1"},
    };
    writeDefault(Family::PadLighting, 0x42);
    for (const Case& c : cases) {
        std::filesystem::remove_all(data_.path());
        std::filesystem::create_directory(data_.path());
        writeCatalogue(Family::PadLighting, c.existing);
        panel(Family::PadLighting).Fill();
        takeCalls();
        click("mp_pro_deng_add_btn");
        Names items = c.existing;
        items.push_back(c.added);
        EXPECT_EQ(texts(Family::PadLighting), items);
        const int position = static_cast<int>(items.size()) - 1;
        EXPECT_EQ(list(Family::PadLighting).GetCurSel(), position);
        EXPECT_EQ(payloadOf(c.added, Family::PadLighting), 0x42);
        const Catalogue cat(Family::PadLighting, data_.path());
        EXPECT_EQ(cat.count(), position + 1);
        EXPECT_EQ(cat.name(position), c.added);
        EXPECT_EQ(cat.linkFlag(position), 0);
        EXPECT_EQ(cat.selection(), position);
        EXPECT_EQ(takeCalls().front(), "load " + std::to_string(position) + " byte 66");
    }
}

TEST_F(PanelTest, AddWithoutADefaultKeepsTheEntryWithoutAFile) {
    writeCatalogue(Family::MouseKeys, {"profile1"});
    panel(Family::MouseKeys).Fill();
    click("ms_pro_key_add_btn");
    EXPECT_EQ(boxes(), shown({"message_text_8"}));
    EXPECT_EQ(texts(Family::MouseKeys), (Names{"profile1", "profile2"}));
    EXPECT_EQ(list(Family::MouseKeys).GetCurSel(), -1);
    EXPECT_EQ(Catalogue(Family::MouseKeys, data_.path()).count(), 2);
    EXPECT_EQ(payloadOf("profile2", Family::MouseKeys), -1);
}

TEST_F(PanelTest, KeyboardLightingAddPlacesTheDefaultBeforeSelecting) {
    writeDefault(Family::KeyboardLighting, 3);
    writeCatalogue(Family::KeyboardLighting, {"profile1"});
    panel(Family::KeyboardLighting).Fill();
    click("kb_pro_deng_add_btn");
    const auto calls = takeCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "place 1958");
    EXPECT_EQ(calls[1], "load 1 byte 3");
}

TEST_F(PanelTest, DeleteMovesTheLinksWithTheirProfiles) {
    const LinkEntry none{"0", " "}, b{"1", "/usr/bin/b"}, c{"1", "/usr/bin/c"};
    // The blank of an unlinked program reads back empty.
    const LinkEntry unlinked{"0", ""};
    struct Case {
        const char* what;
        Names names;
        std::vector<LinkEntry> links;
        int selected;
        dui::UINT confirm;
        Names after;
        std::vector<LinkEntry> linksAfter;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"the middle one, links after it move",
         {"a", "b", "c"},
         {none, none, c},
         1,
         1,
         {"a", "c"},
         {unlinked, c},
         {"message_text_12"}},
        {"the first one",
         {"a", "b", "c"},
         {none, b, c},
         0,
         1,
         {"b", "c"},
         {b, c},
         {"message_text_12"}},
        {"the last one, links before it stay",
         {"a", "b", "c"},
         {none, b, c},
         2,
         1,
         {"a", "b"},
         {unlinked, b},
         {"message_text_12"}},
        {"not confirmed",
         {"a", "b"},
         {none, b},
         0,
         0,
         {"a", "b"},
         {unlinked, b},
         {"message_text_12"}},
        {"the only one", {"a"}, {b}, 0, 1, {"a"}, {b}, {"message_text_11"}},
    };
    for (const Case& k : cases) {
        std::filesystem::remove_all(data_.path());
        std::filesystem::create_directory(data_.path());
        writeCatalogue(Family::KeyboardLighting, k.names, k.links, k.selected);
        panel(Family::KeyboardLighting).Fill();
        panel(Family::KeyboardLighting).SelectQuietly(k.selected);
        boxes();
        takeCalls();
        backend_.AnswerNextModal("MsgWnd", k.confirm);
        click("kb_pro_deng_sub_btn");
        std::vector<std::string> expectedBoxes;
        for (const auto& key : k.boxes) {
            expectedBoxes.push_back(shown(key));
        }
        EXPECT_EQ(boxes(), expectedBoxes) << k.what;
        EXPECT_EQ(texts(Family::KeyboardLighting), k.after) << k.what;
        const CatalogueView view = Catalogue(Family::KeyboardLighting, data_.path()).read();
        EXPECT_EQ(view.names, k.after) << k.what;
        EXPECT_EQ(view.links, k.linksAfter) << k.what;
        const bool deleted = k.after.size() < k.names.size();
        EXPECT_EQ(payloadOf(k.names[static_cast<std::size_t>(k.selected)],
                            Family::KeyboardLighting) == -1,
                  deleted)
            << k.what;
        if (deleted) {
            // The last item is selected and applied.
            EXPECT_EQ(list(Family::KeyboardLighting).GetCurSel(),
                      static_cast<int>(k.after.size()) - 1);
            EXPECT_EQ(view.selection, static_cast<int>(k.after.size()) - 1);
            EXPECT_FALSE(takeCalls().empty()) << k.what;
        }
    }
}

TEST_F(PanelTest, CopyAddsACopyNameAndAppliesIt) {
    struct Case {
        Names names;
        int selected;
        std::string copy;
    };
    const Case cases[] = {
        {{"a", "b"}, 1, "b copy"},
        {{"a", "a copy"}, 0, "a copy copy"},
        {{"a", "A Copy"}, 0, "a copy copy"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(data_.path());
        std::filesystem::create_directory(data_.path());
        // A stale link at the copy's position must not come with it.
        const Catalogue cat(Family::MouseDevice, data_.path());
        ASSERT_TRUE(cat.setLink(static_cast<int>(c.names.size()), {"1", "/usr/bin/old"}));
        writeCatalogue(Family::MouseDevice, c.names);
        panel(Family::MouseDevice).Fill();
        panel(Family::MouseDevice).SelectQuietly(c.selected);
        takeCalls();
        click("ms_pro_device_copy_btn");
        Names items = c.names;
        items.push_back(c.copy);
        EXPECT_EQ(texts(Family::MouseDevice), items);
        const int position = static_cast<int>(c.names.size());
        EXPECT_EQ(list(Family::MouseDevice).GetCurSel(), position);
        EXPECT_EQ(payloadOf(c.copy, Family::MouseDevice), c.selected + 1);
        EXPECT_EQ(cat.name(position), c.copy);
        EXPECT_EQ(cat.count(), position + 1);
        EXPECT_EQ(cat.linkFlag(position), 0);
        EXPECT_FALSE(checked(Family::MouseDevice));
        EXPECT_EQ(takeCalls().front(),
                  "load " + std::to_string(position) + " byte " + std::to_string(c.selected + 1));
    }
    // A copy whose file cannot be written is not listed, and the user is told.
    std::filesystem::remove_all(data_.path());
    std::filesystem::create_directory(data_.path());
    writeCatalogue(Family::MouseDevice, {"a", "b"});
    std::filesystem::create_directory(data_ / "b copy.config");
    panel(Family::MouseDevice).Fill();
    panel(Family::MouseDevice).SelectQuietly(1);
    boxes();
    click("ms_pro_device_copy_btn");
    EXPECT_EQ(boxes(), shown({kSaveFailedMessage}));
    EXPECT_EQ(texts(Family::MouseDevice), (Names{"a", "b"}));
    EXPECT_EQ(Catalogue(Family::MouseDevice, data_.path()).count(), 2);
}

TEST_F(PanelTest, OperationsThatNeedASelectionDoNothingWithoutOne) {
    writeCatalogue(Family::PadLighting, {"a", "b"});
    panel(Family::PadLighting).Fill();
    backend_.QueueFileDialogAnswer((data_ / "x.led").string());
    for (const char* button : {"mp_pro_deng_copy_btn", "mp_pro_deng_import_btn",
                               "mp_pro_deng_export_btn", "mp_deng_profile_link_btn"}) {
        click(button);
    }
    window_.FindControl("mp_deng_profile_name_edit")->SetText("new");
    panel(Family::PadLighting).Rename();
    EXPECT_EQ(texts(Family::PadLighting), (Names{"a", "b"}));
    EXPECT_TRUE(backend_.FileDialogRequests().empty());
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(takeCalls().empty());
}

TEST_F(PanelTest, RenameChecksTheNameAndNeverLosesTheProfile) {
    struct Case {
        const char* what;
        std::string typed;
        std::vector<const char*> boxes;
        bool renamed;
    };
    const Case cases[] = {
        {"empty", "", {"message_text_14"}, false},
        {"its own name", "b", {"message_text_15"}, false},
        {"another's name in other case", "A", {"message_text_15"}, false},
        {"a separator", "x/y", {kBadNameMessage}, false},
        {"a parent directory", "..", {kBadNameMessage}, false},
        {"a line break", "x\ny", {kBadNameMessage}, false},
        {"a leading blank", " x", {kBadNameMessage}, false},
        {"too long", std::string(300, 'x'), {kBadNameMessage}, false},
        {"a path taken by a directory", "blocked", {kSaveFailedMessage}, false},
        {"a good name", "renamed", {}, true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(data_.path());
        std::filesystem::create_directory(data_.path());
        std::filesystem::create_directory(data_ / "blocked.led");
        writeCatalogue(Family::PadLighting, {"a", "b", "c"});
        panel(Family::PadLighting).Fill();
        panel(Family::PadLighting).SelectQuietly(1);
        boxes();
        window_.FindControl("mp_deng_profile_edit")->SetVisible(true);
        window_.FindControl("mp_deng_profile_name_edit")->SetText(c.typed);
        click("mp_deng_profile_edit_save_btn");
        std::vector<std::string> expected;
        for (const char* key : c.boxes) {
            expected.push_back(shown(key));
        }
        EXPECT_EQ(boxes(), expected) << c.what;
        const std::string now = c.renamed ? c.typed : "b";
        EXPECT_EQ(texts(Family::PadLighting), (Names{"a", now, "c"})) << c.what;
        EXPECT_EQ(Catalogue(Family::PadLighting, data_.path()).read().names, (Names{"a", now, "c"}))
            << c.what;
        EXPECT_EQ(payloadOf(now, Family::PadLighting), 2) << c.what;
        EXPECT_EQ(payloadOf("b", Family::PadLighting), c.renamed ? -1 : 2) << c.what;
    }
}

TEST_F(PanelTest, RenameOfAProfileWhoseFileIsMissingChangesNothing) {
    writeCatalogue(Family::KeyboardKeys, {"a", "b"});
    std::filesystem::remove(data_ / "b.pro");
    panel(Family::KeyboardKeys).Fill();
    panel(Family::KeyboardKeys).SelectQuietly(1);
    boxes();
    window_.FindControl("kb_key_profile_edit")->SetVisible(true);
    window_.FindControl("kb_key_profile_name_edit")->SetText("c");
    click("kb_key_profile_edit_save_btn");
    EXPECT_EQ(boxes(), shown({"message_text_8"}));
    EXPECT_EQ(Catalogue(Family::KeyboardKeys, data_.path()).name(1), "b");
    EXPECT_EQ(texts(Family::KeyboardKeys), (Names{"a", "b"}));
}

TEST_F(PanelTest, ImportReplacesTheSelectedProfileAndAppliesIt) {
    // A keyboard lighting file is accepted by the pad family: its front
    // becomes the pad profile, stamped with the pad's kind.
    writeProfile(data_ / "foreign.led", Family::KeyboardLighting, 0x77);
    ASSERT_TRUE(writeProfileFile(data_ / "bad.led", ProfileKind::MousePad,
                                 std::vector<std::uint8_t>(64, 1)));
    {
        std::string bytes = platform::test::readBytes(data_ / "bad.led");
        bytes[0] = 0x55;
        bytes[1] = static_cast<char>(0xAA);
        platform::test::writeBytes(data_ / "bad.led", bytes);
    }
    struct Case {
        std::optional<std::string> answer;
        std::vector<const char*> boxes;
        int payload; // of the selected profile afterwards
        bool loaded;
    };
    const Case cases[] = {
        {std::nullopt, {}, 1, false},
        {(data_ / "missing.led").string(), {"message_text_8"}, 1, false},
        {(data_ / "bad.led").string(), {"message_text_9"}, 1, false},
        {(data_ / "foreign.led").string(), {}, 0x77, true},
    };
    for (const Case& c : cases) {
        writeCatalogue(Family::PadLighting, {"a", "b"});
        panel(Family::PadLighting).Fill();
        panel(Family::PadLighting).SelectQuietly(0);
        boxes();
        takeCalls();
        backend_.QueueFileDialogAnswer(c.answer);
        click("mp_pro_deng_import_btn");
        std::vector<std::string> expected;
        for (const char* key : c.boxes) {
            expected.push_back(shown(key));
        }
        EXPECT_EQ(boxes(), expected);
        EXPECT_EQ(payloadOf("a", Family::PadLighting), c.payload);
        EXPECT_EQ(list(Family::PadLighting).GetCurSel(), 0);
        const auto calls = takeCalls();
        EXPECT_EQ(!calls.empty() && calls.front() == "load 0 byte 119", c.loaded);
    }
    const auto& request = backend_.FileDialogRequests().back();
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.defaultExtension, "led");
    EXPECT_EQ(request.initialName, "*.led");
    EXPECT_EQ(request.options, 6u);
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].patterns, (std::vector<dui::CDuiString>{"*.led"}));
    // The imported file was stamped with the pad's kind.
    std::vector<std::uint8_t> payload(64, 0);
    EXPECT_TRUE(readProfileFile(data_ / "a.led", ReadMode::Exact, ProfileKind::MousePad, payload));
}

TEST_F(PanelTest, ExportWritesTheSelectedProfileWhereTheUserChose) {
    writeCatalogue(Family::MouseDevice, {"a", "b"});
    panel(Family::MouseDevice).Fill();
    panel(Family::MouseDevice).SelectQuietly(1);
    backend_.QueueFileDialogAnswer(std::nullopt);
    click("ms_pro_device_export_btn");
    backend_.QueueFileDialogAnswer((data_ / "out").string());
    click("ms_pro_device_export_btn");
    // The default extension was added to the typed name.
    std::vector<std::uint8_t> payload(576, 0);
    EXPECT_TRUE(
        readProfileFile(data_ / "out.config", ReadMode::Exact, ProfileKind::Mouse, payload));
    EXPECT_EQ(payload[0], 2);
    const auto& request = backend_.FileDialogRequests().back();
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.defaultExtension, "config");
    EXPECT_EQ(request.initialName, "*.config");
    // The profile's file gone: the user is told, nothing is written.
    std::filesystem::remove(data_ / "b.config");
    backend_.QueueFileDialogAnswer((data_ / "out2.config").string());
    click("ms_pro_device_export_btn");
    EXPECT_EQ(boxes(), shown({"message_text_8"}));
    EXPECT_FALSE(std::filesystem::exists(data_ / "out2.config"));
    // A place that cannot be written: the user is told so.
    panel(Family::MouseDevice).SelectQuietly(0);
    boxes();
    backend_.QueueFileDialogAnswer((data_ / "no such folder" / "out3.config").string());
    click("ms_pro_device_export_btn");
    EXPECT_EQ(boxes(), shown({kSaveFailedMessage}));
}

TEST_F(PanelTest, ResetReadsTheDefaultAndTellsTheOtherPages) {
    struct Case {
        Family family;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {Family::PadLighting, {"reset 56 byte 9", "refresh lighting 2", "changed 2"}},
        {Family::KeyboardLighting, {"reset 1958 byte 9", "refresh lighting 0"}},
        {Family::KeyboardKeys, {"reset 512 byte 9", "refresh lighting 0"}},
        {Family::MouseDevice, {"reset 576 byte 9", "refresh mouse device 1", "changed 1"}},
        {Family::MouseLighting, {"reset 56 byte 9", "refresh mouse device 1", "changed 1"}},
        {Family::MouseKeys, {"reset 512 byte 9", "refresh mouse device 1"}},
    };
    for (const Case& c : cases) {
        const std::string button = std::string(familyControls(c.family).button) + "_reset_btn";
        click(button);
        EXPECT_EQ(boxes(), shown({"message_text_8"})) << button;
        EXPECT_TRUE(takeCalls().empty());
        writeDefault(c.family, 9);
        click(button);
        EXPECT_EQ(takeCalls(), c.calls) << button;
    }
    // The keyboard key reset closed the key function panel first.
    EXPECT_FALSE(visible("kb_tab_function"));
    EXPECT_TRUE(visible("ms_tab_function"));
}

TEST_F(PanelTest, PanelButtonsShowAndHideTheirRows) {
    EXPECT_FALSE(visible("mp_deng_profile_edit"));
    click("mp_pro_deng_edit_btn");
    EXPECT_TRUE(visible("mp_deng_profile_edit"));
    click("mp_pro_deng_edit_btn");
    EXPECT_FALSE(visible("mp_deng_profile_edit"));
    click("mp_profile_fun_spread_btn");
    EXPECT_TRUE(visible("mp_profile_fun_spead_tab"));
}

} // namespace
} // namespace quellix::profiles::pages::test
