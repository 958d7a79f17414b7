#pragma once

// What segments need to know of the open project without depending on the project library:
// its aspect-ratio index and orientation. The project manager implements it and installs
// itself; without one, segments assume a new project's values (16:9, landscape).
class ProjectContext
{
public:
  virtual ~ProjectContext() = default;

  // Aspect-ratio index: 0 4:3, 1 16:9, 2 1:1, 3 5:4, 4 19.5:9, 5 21:9.
  virtual int resolution() const = 0;
  // True for landscape.
  virtual bool direction() const = 0;

  // The process-wide context; may be null.
  static ProjectContext *current();
  static void setCurrent(ProjectContext *context);

  static constexpr int kDefaultResolution = 1;
  static constexpr bool kDefaultDirection = true;
};
