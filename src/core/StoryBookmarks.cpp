#include "core/StoryBookmarks.h"

#include <string>

namespace kelva {

namespace {

std::string Cut(const std::string& text, int capacity)
{
    return text.substr(0, static_cast<size_t>(capacity));
}

}  // namespace

StoryBookmarks::StoryBookmarks(TMainForm& form, NovelStory& story, BookmarkStore& store, LocalTime& time,
                               Transcript& log)
    : m_form(form), m_story(story), m_store(store), m_time(time), m_log(log)
{
}

TBookmarkData StoryBookmarks::Capture()
{
    const PlayerState& state = m_form.State();
    const StageImages& stage = m_form.Stage();
    TBookmarkData bookmark;
    if (state.CurrentItem >= 0 && state.CurrentItem < m_story.Items.Count()) {
        bookmark.ItemName = Cut(m_story.Items[state.CurrentItem].Name, kBookmarkItemNameCapacity);
    }
    bookmark.Position = {state.PagePosition.Character, state.PagePosition.Line};
    bookmark.Counters.Assign(state.CountersSnapshot);
    bookmark.Sprites = stage.CharSnapshot.Record();
    bookmark.Background = Cut(stage.PageBackgroundName, kBookmarkTextCapacity);
    bookmark.Music = Cut(state.PageMusic, kBookmarkTextCapacity);
    bookmark.Sound = Cut(state.PageSound, kBookmarkTextCapacity);
    bookmark.CdTrack = state.PageCdTrack;
    bookmark.Saved = EncodeSavedDate(m_time.Now());
    bookmark.PlayNumber = state.PlayNumber;
    bookmark.Page = state.PageCounter;
    bookmark.UpdateTexts();
    return bookmark;
}

bool StoryBookmarks::Record(int index)
{
    const TBookmarkData bookmark = Capture();
    if (!m_store.Record(index, bookmark)) return false;
    m_log.Event("bookmark-record", std::to_string(index + 1) + " " + bookmark.Label);
    return true;
}

void StoryBookmarks::Open(int index)
{
    if (index < 0 || index >= m_store.Count()) return;
    const TBookmarkData& bookmark = m_store.List()[index];
    m_log.Event("bookmark-open", std::to_string(index + 1) + " " + bookmark.Label);
    m_story.Counters.RestoreFromBookmark(m_story.InitialCounters, bookmark.Counters);
    if (bookmark.Page < 0) {
        StartNextReading(bookmark);
    } else {
        RestorePage(bookmark);
    }
}

void StoryBookmarks::StartNextReading(const TBookmarkData& bookmark)
{
    m_form.StartStory();
    // Persistent counters carry the ending's values into the next reading.
    m_story.Counters.ResetNonPersistent(m_story.InitialCounters);
    m_form.State().PlayNumber = bookmark.PlayNumber + 1;
}

void StoryBookmarks::RestorePage(const TBookmarkData& bookmark)
{
    PlayerState& state = m_form.State();
    StageImages& stage = m_form.Stage();
    state.PlayNumber = bookmark.PlayNumber;
    stage.CharLayer.Assign(bookmark.Sprites);
    // The snapshot is what the next bookmark records; it must not keep the characters of
    // the page that was left.
    stage.CharSnapshot.Assign(bookmark.Sprites);
    state.CurrentItem = m_story.Items.IndexOf(bookmark.ItemName);
    state.Position = {bookmark.Position.Character, bookmark.Position.Line};
    m_form.SetMode(PlayerMode::Text);
    stage.LoadBackground(bookmark.Background);
    m_form.ExecuteCommandLine(bookmark.Music.empty() ? ".MidiStop" : ".MidiPlay " + bookmark.Music);
    m_form.ExecuteCommandLine(bookmark.Sound.empty() ? ".SoundStop" : ".SoundPlay " + bookmark.Sound);
    m_form.ExecuteCommandLine(bookmark.CdTrack <= 0 ? ".CDStop"
                                                    : ".CDPlay " + std::to_string(bookmark.CdTrack));
    m_form.BeginPage();
    m_form.Present();
    state.PageCounter = bookmark.Page;
}

}  // namespace kelva
