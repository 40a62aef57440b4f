' Drives the real driver through the COM runtime as the host does: created by its ProgID, handed
' an equipment manager written in script, opened under a device ID, configured to print into a
' capture file, then a template upload and a print job of two labels. Every check writes a PASS
' or FAIL line to the result file; the last line is DONE. The runner compares the bytes of the
' capture file afterwards.
'
' Arguments: result file, UTF-16 texts file, devices folder, device ID, capture file path and,
' optionally, a folder of UTF-16 job files (see PrintJobFile).
' The texts file holds, from its fifth line on: a Cyrillic product name, the Cyrillic template
' description and the message of an unknown template number (the script host reads no
' non-ASCII script source).
Option Explicit

Dim fso, results, texts, devicesFolder, deviceId, capturePath
Dim productName, templateDescription, unknownTemplateMessage
Dim driver, manager, r, ok, outData, table, i, found, settings, templateText
Dim common, names, rows, labelsData

Set fso = CreateObject("Scripting.FileSystemObject")
Set results = fso.CreateTextFile(WScript.Arguments(0), True, False)

Sub Check(name, condition)
  If condition Then
    results.WriteLine "PASS " & name
  Else
    results.WriteLine "FAIL " & name
  End If
End Sub

' The host's equipment manager: the driver calls it by name with arguments by reference.
Class EquipmentManager
  Public Asked
  Public DevicesFolder

  Private Sub Class_Initialize()
    Asked = ""
  End Sub

  Public Function GetAppProperty(ByRef id, ByRef name, ByRef value)
    Asked = Asked & name & ";"
    Select Case name
      Case "DevicesFolder"
        value = DevicesFolder
      Case "ModelsFolder"
        value = "C:\Models"
      Case "Language"
        value = "ru"
      Case Else
        value = ""
    End Select
    GetAppProperty = True
  End Function

  Public Function WriteLog(ByRef id, ByRef name, ByRef text, ByRef eventType)
    WriteLog = True
  End Function

  Public Function DataEvent(ByRef id, ByRef eventName, ByRef data, ByRef extra)
    DataEvent = True
  End Function

  Public Function ErrorEvent(ByRef id, ByRef errorName, ByRef description, ByRef extra)
    ErrorEvent = True
  End Function

  Public Function TaskState(ByRef id, ByRef percent, ByRef description)
    TaskState = True
  End Function
End Class

' Prints one job file with a driver object of its own, so that its settings start from the
' defaults: "set=ID=VALUE" lines, a "template=" line, a "columns=" line and "row=" lines, the
' columns and the values of a row separated by tabs, "<GS>" standing for the group separator,
' an empty value passed as Empty.
' The printer is the file capture-NAME.prn in the device's folder.
Function PrintJobFile(path, name)
  Dim jobFile, jobLine, key, value, parts, settingCount, jobSettings, jobTemplate, jobColumns
  Dim jobRows, rowCount, jobDriver, jobManager, jobCapture, k, n, jobData, jobOut, jobTable
  PrintJobFile = False
  ReDim jobSettings(1, 63)
  ReDim jobRows(63)
  settingCount = 0
  rowCount = 0
  jobCapture = devicesFolder & "\" & deviceId & "\capture-" & name & ".prn"
  If fso.FileExists(jobCapture) Then fso.DeleteFile jobCapture, True
  jobSettings(0, 0) = "PortType"
  jobSettings(1, 0) = 0
  jobSettings(0, 1) = "PortName"
  jobSettings(1, 1) = jobCapture
  settingCount = 2
  Set jobFile = fso.OpenTextFile(path, 1, False, -1)
  Do While Not jobFile.AtEndOfStream
    jobLine = jobFile.ReadLine
    If InStr(jobLine, "=") > 0 And Left(jobLine, 1) <> "#" Then
      key = Left(jobLine, InStr(jobLine, "=") - 1)
      value = Mid(jobLine, InStr(jobLine, "=") + 1)
      Select Case key
        Case "set"
          jobSettings(0, settingCount) = Left(value, InStr(value, "=") - 1)
          jobSettings(1, settingCount) = Mid(value, InStr(value, "=") + 1)
          If IsNumeric(jobSettings(1, settingCount)) Then jobSettings(1, settingCount) = CLng(jobSettings(1, settingCount))
          settingCount = settingCount + 1
        Case "template"
          jobTemplate = value
        Case "columns"
          jobColumns = Split(value, vbTab)
        Case "row"
          jobRows(rowCount) = Split(Replace(value, "<GS>", Chr(29)), vbTab)
          rowCount = rowCount + 1
      End Select
    End If
  Loop
  jobFile.Close
  ReDim Preserve jobSettings(1, settingCount - 1)
  ReDim jobTable(UBound(jobColumns), rowCount - 1)
  For n = 0 To rowCount - 1
    For k = 0 To UBound(jobColumns)
      If k <= UBound(jobRows(n)) Then
        If jobRows(n)(k) <> "" Then jobTable(k, n) = jobRows(n)(k)
      End If
    Next
  Next
  ' One common value that no field takes.
  Dim common: ReDim common(1, 0)
  common(0, 0) = "JobFile"
  common(1, 0) = 1

  Set jobDriver = CreateObject("KestroEq.Pirell")
  Set jobManager = New EquipmentManager
  jobManager.DevicesFolder = devicesFolder
  If Not jobDriver.Init(jobManager) Then Exit Function
  If Not jobDriver.Open(deviceId) Then Exit Function
  If Not jobDriver.SetSettings(Array(jobSettings), jobOut, 0) Then Exit Function
  If Not jobDriver.Enable(Empty, jobOut, 0) Then Exit Function
  If Not jobDriver.UploadTemplate(Array(2, name, jobTemplate), jobOut, 0) Then Exit Function
  jobData = Array(common, jobColumns, jobTable)
  If Not jobDriver.PrintLabels(Array(2, jobData), jobOut, 0) Then
    results.WriteLine "job " & name & ": " & jobOut(0)
    Exit Function
  End If
  jobDriver.Disable Empty, jobOut, 0
  jobDriver.Close
  PrintJobFile = True
End Function

devicesFolder = WScript.Arguments(2)
deviceId = WScript.Arguments(3)
capturePath = WScript.Arguments(4)

Set texts = fso.OpenTextFile(WScript.Arguments(1), 1, False, -1)
For i = 1 To 4
  productName = texts.ReadLine
Next
productName = texts.ReadLine
templateDescription = texts.ReadLine
unknownTemplateMessage = texts.ReadLine
texts.Close

' The USB port opens an existing file without truncating it: start from no capture file.
If fso.FileExists(capturePath) Then fso.DeleteFile capturePath, True

Set driver = CreateObject("KestroEq.Pirell")
Check "driver created by its ProgID", IsObject(driver)
Set manager = New EquipmentManager
manager.DevicesFolder = devicesFolder
r = driver.Init(manager)
Check "Init takes the equipment manager", r = True
Check "Init asks the manager for the models folder and the language", manager.Asked = "ModelsFolder;Language;"

manager.Asked = ""
r = driver.Open(deviceId)
Check "Open takes the device ID", r = True
Check "Open asks the manager for the devices folder", manager.Asked = "DevicesFolder;"

ok = driver.GetSettings(Empty, outData, 0)
Check "GetSettings answers", ok = True
table = outData(0)
Check "the settings table has 7 columns", LBound(table, 1) = 0 And UBound(table, 1) = 6
found = False
For i = LBound(table, 2) To UBound(table, 2)
  If table(0, i) = "PortName" Then found = True
Next
Check "the settings table has the row PortName", found

Dim s: ReDim s(1, 1)
s(0, 0) = "PortType"
s(1, 0) = 0
s(0, 1) = "PortName"
s(1, 1) = capturePath
settings = Array(s)
ok = driver.SetSettings(settings, outData, 0)
Check "SetSettings selects the USB port writing into the capture file", ok = True

ok = driver.Enable(Empty, outData, 0)
Check "Enable opens the capture file as the printer port", ok = True

templateText = "<Label Width=""58"" Height=""40"">" & _
  "<Item ClassName=""TextSimple"">" & _
  "<Property Name=""DS"" Value=""Name""/>" & _
  "<Property Name=""Left"" Value=""5""/>" & _
  "<Property Name=""Top"" Value=""10""/>" & _
  "<Property Name=""Width"" Value=""40""/>" & _
  "<Property Name=""Height"" Value=""5""/>" & _
  "<Property Name=""MaxSymbols"" Value=""20""/>" & _
  "<Property Name=""FontSize"" Value=""2""/>" & _
  "</Item>" & _
  "<Item ClassName=""Shk"">" & _
  "<Property Name=""DS"" Value=""Barcode""/>" & _
  "<Property Name=""BarCodeType"" Value=""Code128""/>" & _
  "<Property Name=""TextVisible"" Value=""True""/>" & _
  "<Property Name=""Left"" Value=""5""/>" & _
  "<Property Name=""Top"" Value=""15""/>" & _
  "<Property Name=""Height"" Value=""15""/>" & _
  "</Item>" & _
  "</Label>"
ok = driver.UploadTemplate(Array(1, templateDescription, templateText), outData, 0)
Check "UploadTemplate stores template 1", ok = True

ok = driver.GetTemplateList(Empty, outData, 0)
Check "GetTemplateList answers", ok = True
table = outData(0)
Check "GetTemplateList lists one template", UBound(table, 1) = 1 And UBound(table, 2) = 0
Check "the listed template is number 1 with its description", _
  table(0, 0) = 1 And table(1, 0) = templateDescription

' The common value under "Barcode" is replaced by each label's own value.
Dim c: ReDim c(1, 0)
c(0, 0) = "Barcode"
c(1, 0) = "99999"
names = Array("Name", "Barcode", "CopiesNumber")
Dim rw: ReDim rw(2, 1)
rw(0, 0) = productName
rw(1, 0) = "12345"
rw(2, 0) = 2
rw(0, 1) = "Tea ""Green"" 1\2"
rw(1, 1) = "67890"
rw(2, 1) = 1
labelsData = Array(c, names, rw)
ok = driver.PrintLabels(Array(1, labelsData), outData, 0)
Check "PrintLabels prints two labels with template 1", ok = True

ok = driver.PrintLabels(Array(99, labelsData), outData, 0)
Check "PrintLabels with a template never uploaded fails", ok = False
Check "the failure carries the code 13001", outData(0) = 13001
Check "the failure carries the message of an unknown template", outData(1) = unknownTemplateMessage

ok = driver.Disable(Empty, outData, 0)
Check "Disable", ok = True
r = driver.Close()
Check "Close", r = True
Set driver = Nothing

Dim jobsPrinted, jobEntry
jobsPrinted = 0
ok = True
If WScript.Arguments.Count > 5 Then
  For Each jobEntry In fso.GetFolder(WScript.Arguments(5)).Files
    If LCase(fso.GetExtensionName(jobEntry.Name)) = "job" Then
      If PrintJobFile(jobEntry.Path, fso.GetBaseName(jobEntry.Name)) Then
        jobsPrinted = jobsPrinted + 1
      Else
        ok = False
      End If
    End If
  Next
End If
Check "every job of the jobs folder prints through a driver of its own", ok

results.WriteLine "DONE"
results.Close
