#pragma once
// The built-in assets as plain tables, shared by the explorer's catalogue and the resource
// generator that makes the files behind these paths.

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
  {"Love", 29, nullptr},       {"Technology", 35, nullptr}, {"Naughty", 33, nullptr},   {"Flight", 38, nullptr},
  {"Cheerful", 32, nullptr},   {"Action", 36, nullptr},     {"Mountain", 48, nullptr},   {"Doll", 44, nullptr},
  {"Stadium", 46, nullptr},    {"Lakeside", 44, nullptr},   {"Mechanical", 44, nullptr}, {"Faltering", 43, nullptr},
  {"Travel", 41, nullptr},
};
constexpr int kMusicCount = sizeof(kMusic) / sizeof(kMusic[0]);
constexpr int kMusicV1Count = 6;

constexpr Sound kAmbience[] = {
  {"Disco", 8, nullptr},          {"Ghost", 5, nullptr},       {"Danger", 5, nullptr},
  {"Horror", 3, nullptr},         {"Alarm", 1, nullptr},       {"Launghing Ghost", 14, "Laughing Ghost"},
  {"Beep", 1, nullptr},           {"School Bell", 10, nullptr}, {"Church Bell", 9, nullptr},
  {"Busy Office", 24, nullptr},   {"Warning", 1, nullptr},     {"Big Impact", 2, nullptr},
};
constexpr Sound kPeople[] = {
  {"Applause", 15, nullptr}, {"Punching", 1, nullptr},        {"Cheer", 3, nullptr},          {"Scream", 1, nullptr},
  {"Ehhh", 2, nullptr},      {"Panic Screaming", 1, nullptr}, {"Laughing Crowd", 3, nullptr}, {"Hmm", 1, nullptr},
  {"What", 1, nullptr},      {"Finger Snap", 1, nullptr},     {"Slap Face", 1, nullptr},      {"Whistle", 1, nullptr},
};
constexpr Sound kEvent[] = {
  {"Appears", 1, nullptr},          {"Surprise", 1, nullptr},         {"Camera Shutter", 1, nullptr},
  {"Clock Ticking", 3, nullptr},    {"Pop-up", 1, nullptr},           {"Timer Tick", 1, nullptr},
  {"Gun Shot", 2, nullptr},         {"Elastic", 1, nullptr},          {"Reception Bell", 4, nullptr},
  {"Keyboard Typing", 15, nullptr}, {"Camera Shutter 2", 1, nullptr}, {"Success", 3, nullptr},
  {"Knock", 2, nullptr},            {"Smartphone Vibrating", 5, nullptr}, {"Laser", 1, nullptr},
  {"Friend Request", 1, nullptr},   {"iPhone Typing", 16, nullptr},   {"Phone Ringing", 10, nullptr},
  {"Door Bell", 9, nullptr},
};
constexpr Sound kMusical[] = {
  {"Monophonic Beat", 1, nullptr}, {"Drum", 1, nullptr},    {"Accordion", 1, nullptr}, {"Wind Chimes", 4, nullptr},
  {"Vibraphone", 10, nullptr},     {"Harp 2", 4, nullptr}, {"Harp 1", 4, nullptr},
};
constexpr Sound kTransition[] = {
  {"Slide Switch", 1, nullptr},   {"Transition", 2, nullptr},      {"Stapler Staple", 1, nullptr},
  {"Throwing Knife", 1, nullptr}, {"Swoosh", 1, nullptr},          {"Breaking News", 18, nullptr},
  {"Fast Pass", 2, nullptr},
};
constexpr Sound kVehicle[] = {
  {"Train Bell", 1, nullptr},    {"Police 1", 6, nullptr},     {"Police 2", 3, nullptr},
  {"Car Screeching", 1, nullptr}, {"Jet Fly Over", 11, nullptr}, {"Vehicle Idle", 3, nullptr},
  {"Jet Landing", 13, nullptr},  {"Helicopter", 10, nullptr},  {"Ambulance", 21, nullptr},
};
constexpr Sound kAnimal[] = {
  {"Thrush", 2, nullptr}, {"Dog Bark", 1, nullptr},        {"Monkey", 4, nullptr},
  {"Mouse", 1, nullptr},  {"Sheep", 2, nullptr},           {"Rooster Crowing", 4, nullptr},
  {"Hen", 1, nullptr},    {"Crow", 2, nullptr},            {"Flys", 6, nullptr},
};

#define TAVO_SOUND_TAG(tag, folder, list) {tag, folder, list, int(sizeof(list) / sizeof(list[0]))}
constexpr SoundTag kSoundFx[] = {
  TAVO_SOUND_TAG("Ambience", "ambience", kAmbience),       TAVO_SOUND_TAG("People", "people", kPeople),
  TAVO_SOUND_TAG("Event", "event", kEvent),                TAVO_SOUND_TAG("Musical", "musical", kMusical),
  TAVO_SOUND_TAG("Transition", "transition", kTransition), TAVO_SOUND_TAG("Vehicle", "vehicle", kVehicle),
  TAVO_SOUND_TAG("Animal", "animal", kAnimal),
};
#undef TAVO_SOUND_TAG
constexpr int kSoundFxTagCount = sizeof(kSoundFx) / sizeof(kSoundFx[0]);

constexpr StickerTag kStickers[] = {
  {"Emoticons", "emoticons", 25},
  {"Party", "party", 19},
  {"Love", "love", 11},
  {"Comic Words", "comic_words", 16},
};
constexpr int kStickerTagCount = sizeof(kStickers) / sizeof(kStickers[0]);

} // namespace ResourceAssetTables
