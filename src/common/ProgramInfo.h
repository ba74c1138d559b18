#pragma once

// The program's identity, in one place for the window, the credits and the link.
namespace program {

inline constexpr char Title[] = "Ciarlatronix";
inline constexpr char Version[] = "1.0.0.0";
inline constexpr char HomePage[] = "http://ciarlatronix.example/";

} // namespace program
