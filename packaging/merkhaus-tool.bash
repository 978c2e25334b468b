# SPDX-License-Identifier: GPL-3.0-or-later
# Bash completion of merkhaus-tool, installed as share/bash-completion/completions/merkhaus-tool.
#
# Completes the verbs, each verb's options and the values some of them take, DataFiles (*.fid)
# where a verb wants FILE, vocabulary files (*.txt, *.csv, *.kvtml) where its usage names them,
# and the UnitIDs of the DataFile already given. Everything is read from `merkhaus-tool --help`,
# whose lines "  VERB ARGUMENTS" name the arguments in a fixed way:
#   FILE                 a DataFile
#   UNITID               a lesson of that DataFile
#   OUT.txt|OUT.csv      a file with one of these extensions
#   a|b|c                one of these words
#   [--flag]             an option without a value; [--opt VALUE] and --opt VALUE take one
# So a new verb completes as soon as the tool's help lists it.

# The usage of one verb, without the verb: "FILE UNITID OUT.txt|OUT.csv [--force] [--utf8]".
_merkhaus_tool_usage() { # TOOL VERB
  "$1" --help 2>/dev/null | sed -n "s/^  $2 \\(.*\\)/\\1/p"
}

# Splits a usage into the arrays positional (placeholders in order) and options/values (each
# option with the placeholder of its value, empty when it takes none).
_merkhaus_tool_parse() { # USAGE
  local word after_option=
  local -a words
  read -r -a words <<<"$1"
  positional=() options=() values=()
  for word in "${words[@]}"; do
    local closes=0
    word=${word#\[}
    [[ $word == *\] ]] && closes=1 && word=${word%\]}
    if [[ $word == --* ]]; then
      options+=("$word")
      values+=("")
      after_option=$word
    elif [[ -n $after_option ]]; then
      values[${#values[@]} - 1]=$word # "--into UNITID", "[--direction beide|ab|ba]"
      after_option=
    else
      positional+=("$word") # also an optional one, "[UNITID]"
    fi
    ((closes)) && after_option= # "[--force]" takes no value
  done
}

# The value placeholder of an option of the parsed usage; fails when it is no option of it.
_merkhaus_tool_value_of() { # OPTION
  local i
  for i in "${!options[@]}"; do
    [[ ${options[i]} == "$1" ]] && { printf '%s' "${values[i]}"; return 0; }
  done
  return 1
}

# Files whose names end in one of the extensions (any case), and folders to go on into.
_merkhaus_tool_files() { # CUR EXT...
  local cur=$1 f ext
  shift
  local -a found
  mapfile -t found < <(compgen -f -- "$cur")
  for f in "${found[@]}"; do
    if [[ -d $f ]]; then
      COMPREPLY+=("$f")
      continue
    fi
    for ext; do
      if [[ ${f,,} == *."${ext,,}" ]]; then
        COMPREPLY+=("$f")
        break
      fi
    done
  done
  compopt -o filenames 2>/dev/null
}

# Completes the word CUR as the argument PLACEHOLDER; FILE is the DataFile given so far.
_merkhaus_tool_complete_as() { # TOOL PLACEHOLDER CUR FILE
  local tool=$1 placeholder=$2 cur=$3 file=$4
  case $placeholder in
    FILE)
      _merkhaus_tool_files "$cur" fid
      ;;
    UNITID)
      [[ -n $file ]] || return
      local -a ids
      mapfile -t ids < <("$tool" lessons "$file" 2>/dev/null | cut -f1)
      mapfile -t COMPREPLY < <(compgen -W "${ids[*]}" -- "$cur")
      ;;
    *.*)
      # OUT.txt|OUT.csv: the extensions after each dot.
      local -a exts
      mapfile -t exts < <(tr '|' '\n' <<<"$placeholder" | sed -n 's/^[^.]*\.//p')
      _merkhaus_tool_files "$cur" "${exts[@]}"
      ;;
    *\|*)
      mapfile -t COMPREPLY < <(compgen -W "${placeholder//|/ }" -- "$cur")
      ;;
  esac
}

_merkhaus_tool() {
  COMPREPLY=()
  local tool=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]}
  if ((COMP_CWORD == 1)); then
    local verbs
    verbs=$("$tool" --help 2>/dev/null | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')
    mapfile -t COMPREPLY < <(compgen -W "$verbs --help --version" -- "$cur")
    return
  fi

  local verb=${COMP_WORDS[1]}
  [[ $verb =~ ^[a-z][a-z-]*$ ]] || return
  local -a positional options values
  _merkhaus_tool_parse "$(_merkhaus_tool_usage "$tool" "$verb")"
  ((${#positional[@]} + ${#options[@]})) || return

  # The words before CUR: options (with their values) and the positional arguments so far.
  local i word given=0 file= value
  for ((i = 2; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ $word == --* ]]; then
      if value=$(_merkhaus_tool_value_of "$word") && [[ -n $value ]]; then
        ((i + 1 == COMP_CWORD)) && {
          _merkhaus_tool_complete_as "$tool" "$value" "$cur" "$file"
          return
        }
        ((i++))
      fi
    else
      [[ ${positional[given]-} == FILE ]] && file=$word
      ((given++))
    fi
  done

  if [[ $cur == -* || given -ge ${#positional[@]} ]]; then
    mapfile -t COMPREPLY < <(compgen -W "${options[*]}" -- "$cur")
  else
    _merkhaus_tool_complete_as "$tool" "${positional[given]}" "$cur" "$file"
  fi
}

complete -F _merkhaus_tool merkhaus-tool
