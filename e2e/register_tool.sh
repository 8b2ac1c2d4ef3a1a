# Registration of the e2e tier's stand-in programs in a Wine prefix (sourced).

# register_tool EXE TEMPLATE PLACEHOLDER: imports TEMPLATE, a .reg file with
# PLACEHOLDER where the program's Windows path belongs, naming EXE, into
# $WINEPREFIX. Writes the .reg beside EXE and prints EXE's Windows path;
# fails when regedit refuses the import.
register_tool() {
  local exe=$1 template=$2 placeholder=$3 exe_win reg_path text
  exe_win=$(winepath -w "$exe" 2>/dev/null)
  reg_path=$(printf '%s' "$exe_win" | sed 's/\\/\\\\/g')  # a .reg file doubles its backslashes
  text=$(<"$template")
  printf '%s\n' "${text//"$placeholder"/"$reg_path"}" >"${exe%.exe}.reg"
  wine regedit /S "$(winepath -w "${exe%.exe}.reg" 2>/dev/null)" >/dev/null 2>&1 || return 1
  printf '%s' "$exe_win"
}

# unregister_tool TEMPLATE REG: deletes every key TEMPLATE names from
# $WINEPREFIX again, through REG (a .reg file it writes).
unregister_tool() {
  local template=$1 reg=$2
  { echo REGEDIT4; sed -n 's/^\[\(HKEY_[^]]*\)\]$/[-\1]/p' "$template"; } >"$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
}
