# The stand-in Office applications of `run.sh --demo` (sourced by run.sh).
# They are the e2e tier's fake server (e2e/fake_office/README.md) with a
# sample scenario, registered in the run's own prefix while the demo runs:
# a later plain run there must not reopen an Outlook item in a stand-in.

source e2e/register_tool.sh

demo_pids=()
demo_registered=false

# start_demo_office FOLDER: puts Valmora.exe and the server in FOLDER (inside
# the prefix), registers the server, writes the scenario where each
# application reads it, starts Excel, Word, PowerPoint and Outlook and waits until they
# are ready. Sets demo_folder.
start_demo_office() {
  demo_folder=$1
  local build=build/mingw app
  mkdir -p "$demo_folder"
  cp "$build/src/app/Valmora.exe" "$build/e2e/fake_office.exe" "$demo_folder/"
  if ! register_tool "$demo_folder/fake_office.exe" e2e/fake_office/fake_office.reg.in @FAKE_OFFICE_EXE@ >/dev/null; then
    echo "Could not register the stand-in Office server in $WINEPREFIX." >&2
    return 1
  fi
  demo_registered=true

  # The saved workbooks and documents exist, as they would; never overwritten.
  local documents=() path
  mapfile -t documents < <(sed -n 's/^\(workbook\|document\|presentation\) \([A-Za-z]:\\.*\)$/\2/p' e2e/fake_office/demo.scenario)
  while IFS= read -r path || [ -n "$path" ]; do  # winepath ends its last line without a newline
    mkdir -p "$(dirname "$path")"
    [ -e "$path" ] || : >"$path"
  done < <(winepath -u "${documents[@]}" 2>/dev/null)

  for app in Excel Word PowerPoint Outlook; do
    rm -f "$demo_folder/$app.ready" "$demo_folder/$app.counts" "$demo_folder/$app.log"
    cp e2e/fake_office/demo.scenario "$demo_folder/$app.scenario"
    wine "$demo_folder/fake_office.exe" --app "$app" >/dev/null 2>&1 &
    demo_pids+=($!)
  done
  for app in Excel Word PowerPoint Outlook; do
    for _ in $(seq 300); do [ -s "$demo_folder/$app.ready" ] && break; sleep 0.1; done
    if [ ! -s "$demo_folder/$app.ready" ]; then
      echo "The stand-in $app did not get ready; its log:" >&2
      cat "$demo_folder/$app.log" >&2 2>/dev/null || true
      return 1
    fi
  done
  echo "Stand-in Excel, Word, PowerPoint and Outlook are running with e2e/fake_office/demo.scenario; they stop when Valmora ends."
}

stop_demo_office() {
  if [ ${#demo_pids[@]} -gt 0 ]; then
    kill "${demo_pids[@]}" 2>/dev/null || true
    wait "${demo_pids[@]}" 2>/dev/null || true
    demo_pids=()
  fi
  if $demo_registered; then
    unregister_tool e2e/fake_office/fake_office.reg.in "$demo_folder/fake_office_unregister.reg" ||
      echo "Could not remove the stand-in Office server's registration from $WINEPREFIX." >&2
    demo_registered=false
  fi
}
