# Reading what Wine's message boxes showed: run a program with WINEDEBUG=-all,trace+msgbox and
# its stderr in a file; wine_box_texts FILE prints the text of every box it opened, one per line,
# line breaks inside a box shown as " | " (Wine writes wide strings with \XXXX escapes).
wine_box_texts() {
  grep -a 'msgbox:MSGBOX_OnInit' "$1" 2>/dev/null | perl -CS -ne '
    next unless /L"(.*)"\s*$/; my $t = $1;
    # One pass from the left, so that an escaped backslash is never read as the start of another
    # escape: a doubled backslash and "Default" stay that, never U+DEFA and "ult".
    $t =~ s/\\(?:([0-9a-fA-F]{4})|(.))/defined $1 ? chr(hex($1)) : $2 eq "r" ? "\x{1}" : $2 eq "n" ? "\x{2}" : $2/ge;
    $t =~ s/\x{1}\x{2}|\x{1}|\x{2}/ | /g; print "$t\n";'
}
