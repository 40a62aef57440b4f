// Files an Image field may name on Windows that are no pictures to read: a character device and
// a pipe (reading it would wait for a writer, opening it connects to its server). Each prints as
// an empty picture at once and says why once per request.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rendering/label_document.h"
#include "rendering/label_image_list.h"

namespace pirell {
namespace {

TEST(LabelImageReferenceWindows, DevicesAndPipesAreNotReadAndTheirReasonIsNoted) {
  const std::string pipe_name =
      "\\\\.\\pipe\\pirell-picture-" + std::to_string(GetCurrentProcessId());
  const std::wstring wide_pipe(pipe_name.begin(), pipe_name.end());
  // A pipe whose server never writes: a reader of it would wait for ever.
  HANDLE server = CreateNamedPipeW(wide_pipe.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE, 4, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);

  TLabelObj label;
  std::vector<std::string> notes;
  label.Images().Drawn().SetNotes(
      [&notes](const std::string&, const std::string& text) { notes.push_back(text); });
  TField& field = *label.Fields().Add();
  field.SetFieldType(ftImage);
  field.SetPropertyInt("Width", 10);
  field.SetPropertyInt("Height", 10);
  for (const std::string& reference : {std::string("\\\\.\\NUL"), pipe_name}) {
    for (int labels = 0; labels < 2; ++labels) {
      field.SetProperty("Value", reference);
      const MonoBitmap& bitmap = field.GetBitmap(203);
      EXPECT_EQ(bitmap.Width(), 80) << reference;
      EXPECT_EQ(bitmap.CountBlack(), 0) << reference;
    }
  }
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "\\\\.\\NUL: не обычный файл (папка, устройство или канал)",
                       pipe_name + ": не обычный файл (папка, устройство или канал)"}));
  // A picture list asked to add such a file stays empty-handed as quickly.
  TLabelImageList list;
  list.AddImage(pipe_name);
  EXPECT_TRUE(list.Items(0).Bitmap().Empty());
  // Such names are refused before anything is opened: the pipe's server never saw a client.
  OVERLAPPED waiting{};
  waiting.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_FALSE(ConnectNamedPipe(server, &waiting));
  const DWORD connect_error = GetLastError();
  EXPECT_EQ(connect_error, static_cast<DWORD>(ERROR_IO_PENDING));
  if (connect_error == ERROR_IO_PENDING) {
    CancelIoEx(server, &waiting);
    DWORD ignored = 0;
    GetOverlappedResult(server, &waiting, &ignored, TRUE);
  }
  CloseHandle(waiting.hEvent);
  CloseHandle(server);
}

}  // namespace
}  // namespace pirell
