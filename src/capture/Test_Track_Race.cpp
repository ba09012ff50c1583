#include "capture/Test_Track_Race.h"

#include "support/Clock.h"

#include <QStringList>
#include <algorithm>
#include <random>

namespace {

// Seconds from the race start to the winner's finish, and the dogs' base speed: a picture
// width in 2.4 s.
constexpr std::int64_t winner_after_ms = 1200;
constexpr double base_widths_per_ms = 1.0 / 2400.0;

std::int64_t Gap_After_Previous_Ms(std::mt19937_64 &random) {
  // Mostly close finishes, now and then a clear gap.
  if (std::uniform_int_distribution<int>(0, 99)(random) < 70)
    return std::uniform_int_distribution<std::int64_t>(4, 60)(random);
  return std::uniform_int_distribution<std::int64_t>(80, 450)(random);
}

} // namespace

QString Test_Track_Race::Truth_Text() const {
  QStringList lines;
  for (const Test_Track_Dog &dog : dogs)
    lines << QStringLiteral("%1 %2").arg(dog.box).arg(Tick_From_Monotonic_Ms(static_cast<std::uint64_t>(dog.cross_ms)));
  return lines.join(QLatin1Char('\n'));
}

Test_Track_Race Plan_Test_Track_Race(std::uint64_t seed, std::int64_t number, std::int64_t start_ms) {
  std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                         static_cast<std::uint32_t>(number), static_cast<std::uint32_t>(number >> 32)};
  std::mt19937_64 random(sequence);
  Test_Track_Race race;
  race.number = number;
  race.start_ms = start_ms;
  std::array<int, 6> order{1, 2, 3, 4, 5, 6};
  std::shuffle(order.begin(), order.end(), random);
  // About one race in four has a dead heat for second place.
  const bool dead_heat = std::uniform_int_distribution<int>(0, 3)(random) == 0;
  std::int64_t cross = start_ms + winner_after_ms + std::uniform_int_distribution<std::int64_t>(0, 300)(random);
  for (std::size_t place = 0; place < order.size(); ++place) {
    if (place > 0 && !(dead_heat && place == 1))
      cross += Gap_After_Previous_Ms(random);
    Test_Track_Dog &dog = race.dogs[static_cast<std::size_t>(order[place] - 1)];
    dog.box = order[place];
    dog.cross_ms = cross;
    dog.widths_per_ms = base_widths_per_ms * std::uniform_real_distribution<double>(0.96, 1.04)(random);
  }
  return race;
}
