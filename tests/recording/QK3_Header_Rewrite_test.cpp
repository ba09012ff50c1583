// The header block is rewritten in place at every judging click. A process killed at any
// moment of that rewrite must leave a file that opens with either the old or the new header.

#include "QK3_Fixture.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "recording/QK3_File.h"
#include "recording/cls_VideoFile_handler.h"

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The child rewrites the header with event names E<first>, E<first + 1>, ... until killed,
// and says on the pipe when the first rewrite is done.
[[noreturn]] void Rewrite_Forever(const QString &path, int first, int ready) {
  cls_VideoFile_handler h;
  if (!h.Open_File(path))
    _exit(3);
  for (int k = first;; ++k) {
    h.Set_Hound_event(QStringLiteral("E%1").arg(k));
    h.Write_XML_Header();
    if (k == first && write(ready, "r", 1) != 1)
      _exit(4);
  }
}

int Event_Number(cls_VideoFile_handler &h) {
  const QString event = h.Hound_event();
  return event.startsWith(QLatin1Char('E')) ? event.mid(1).toInt() : -1;
}

TEST(Header_Rewrite, A_Kill_At_Any_Moment_Leaves_The_Old_Or_The_New_Header) {
  Temp_AppData app;
  Scripted_Operator::Install();
  fixture::Heat heat = fixture::Three_Frames();
  const QString path = app.File(QStringLiteral("judged.qk3"));
  fixture::Write(path, fixture::File_Of(heat));
  {
    cls_VideoFile_handler h;
    ASSERT_TRUE(h.Open_File(path));
    h.Set_Hound_event(QStringLiteral("E0"));
    h.Write_XML_Header();
  }
  std::mt19937 random(20181);
  // A fixed number of kills rather than a time budget: a loaded machine must not thin out the
  // evidence.
  constexpr int Kills = 40;
  int last = 0, kills = 0;
  while (kills < Kills) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
      Rewrite_Forever(path, last + 1, ready[1]);
    close(ready[1]);
    pollfd wait_for{ready[0], POLLIN, 0};
    ASSERT_EQ(poll(&wait_for, 1, 10000), 1);
    close(ready[0]);
    // Somewhere within the next few rewrites.
    usleep(static_cast<useconds_t>(random() % 60000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << WEXITSTATUS(status);
    ++kills;
    cls_VideoFile_handler h;
    ASSERT_TRUE(h.Open_File(path)) << "after kill " << kills;
    EXPECT_EQ(h.Num_Frames(), 3);
    const int seen = Event_Number(h);
    // the header is one the program wrote, never older than the child's first one
    ASSERT_GT(seen, last) << "after kill " << kills;
    EXPECT_FALSE(QFile::exists(Header_Side_File(path)));
    last = seen;
  }
}
} // namespace
