#pragma once
// The built-in assets as plain tables, shared by the explorer's catalogue and the resource
// generator that makes the files behind these paths.

#include <QtGlobal>

// Titles and tags are shown translated (context "MediaExplorerWidget"); file names stay English.
namespace ResourceAssetTables {

struct Sound
{
  const char *title;
  int seconds;
  // The file's name when it differs from the title.
  const char *fileName;
};

struct SoundTag
{
  const char *tag;
  const char *folder;
  const Sound *sounds;
  int count;
};

struct StickerTag
{
  const char *tag;
  const char *folder;
  int count;
};

// Music: one tag; the first kMusicV1Count rows live under "v1", the others under "v2".
constexpr Sound kMusic[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Love"), 29, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Technology"), 35, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Naughty"), 33, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Flight"), 38, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Cheerful"), 32, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Action"), 36, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Mountain"), 48, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Doll"), 44, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Stadium"), 46, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Lakeside"), 44, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Mechanical"), 44, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Faltering"), 43, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Travel"), 41, nullptr},
};
constexpr int kMusicCount = sizeof(kMusic) / sizeof(kMusic[0]);
constexpr int kMusicV1Count = 6;

constexpr Sound kAmbience[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Disco"), 8, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Ghost"), 5, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Danger"), 5, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Horror"), 3, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Alarm"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Launghing Ghost"), 14, "Laughing Ghost"},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Beep"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "School Bell"), 10, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Church Bell"), 9, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Busy Office"), 24, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Warning"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Big Impact"), 2, nullptr},
};
constexpr Sound kPeople[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Applause"), 15, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Punching"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Cheer"), 3, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Scream"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Ehhh"), 2, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Panic Screaming"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Laughing Crowd"), 3, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Hmm"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "What"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Finger Snap"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Slap Face"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Whistle"), 1, nullptr},
};
constexpr Sound kEvent[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Appears"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Surprise"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Camera Shutter"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Clock Ticking"), 3, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Pop-up"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Timer Tick"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Gun Shot"), 2, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Elastic"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Reception Bell"), 4, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Keyboard Typing"), 15, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Camera Shutter 2"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Success"), 3, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Knock"), 2, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Smartphone Vibrating"), 5, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Laser"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Friend Request"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "iPhone Typing"), 16, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Phone Ringing"), 10, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Door Bell"), 9, nullptr},
};
constexpr Sound kMusical[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Monophonic Beat"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Drum"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Accordion"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Wind Chimes"), 4, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Vibraphone"), 10, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Harp 2"), 4, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Harp 1"), 4, nullptr},
};
constexpr Sound kTransition[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Slide Switch"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Transition"), 2, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Stapler Staple"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Throwing Knife"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Swoosh"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Breaking News"), 18, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Fast Pass"), 2, nullptr},
};
constexpr Sound kVehicle[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Train Bell"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Police 1"), 6, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Police 2"), 3, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Car Screeching"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Jet Fly Over"), 11, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Vehicle Idle"), 3, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Jet Landing"), 13, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Helicopter"), 10, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Ambulance"), 21, nullptr},
};
constexpr Sound kAnimal[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Thrush"), 2, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Dog Bark"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Monkey"), 4, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Mouse"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Sheep"), 2, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Rooster Crowing"), 4, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Hen"), 1, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Crow"), 2, nullptr},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Flys"), 6, nullptr},
};

#define TAVO_SOUND_TAG(tag, folder, list) {tag, folder, list, int(sizeof(list) / sizeof(list[0]))}
constexpr SoundTag kSoundFx[] = {
  TAVO_SOUND_TAG(QT_TRANSLATE_NOOP("MediaExplorerWidget", "Ambience"), "ambience", kAmbience),
  TAVO_SOUND_TAG(QT_TRANSLATE_NOOP("MediaExplorerWidget", "People"), "people", kPeople),
  TAVO_SOUND_TAG(QT_TRANSLATE_NOOP("MediaExplorerWidget", "Event"), "event", kEvent),
  TAVO_SOUND_TAG(QT_TRANSLATE_NOOP("MediaExplorerWidget", "Musical"), "musical", kMusical),
  TAVO_SOUND_TAG(QT_TRANSLATE_NOOP("MediaExplorerWidget", "Transition"), "transition", kTransition),
  TAVO_SOUND_TAG(QT_TRANSLATE_NOOP("MediaExplorerWidget", "Vehicle"), "vehicle", kVehicle),
  TAVO_SOUND_TAG(QT_TRANSLATE_NOOP("MediaExplorerWidget", "Animal"), "animal", kAnimal),
};
#undef TAVO_SOUND_TAG
constexpr int kSoundFxTagCount = sizeof(kSoundFx) / sizeof(kSoundFx[0]);

constexpr StickerTag kStickers[] = {
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Emoticons"), "emoticons", 25},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Party"), "party", 19},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Love"), "love", 11},
  {QT_TRANSLATE_NOOP("MediaExplorerWidget", "Comic Words"), "comic_words", 16},
};
constexpr int kStickerTagCount = sizeof(kStickers) / sizeof(kStickers[0]);

} // namespace ResourceAssetTables
