// The mailboxes' passwords in the desktop's keyring. Where a keyring runs, POP3.LST keeps an
// empty password field for a mailbox whose password the keyring holds; the passwords move there
// on the first save of the table. Where none runs the file stays their store, as it always was.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "net/MailBoxes.h"
#include "platform/SecretStore.h"

namespace orva {

// The name a mailbox's password is filed under: "pop3://user@server:port".
std::string MailboxSecretKey(const Pop3Record& record);

// What the keyring gave for a table.
struct KeptPasswords {
  std::set<std::string> keys;         // the mailboxes whose password the keyring gave
  std::vector<std::string> problems;  // reads that failed, one text each
};

// Fills each empty password from the keyring, when one runs (`store` may be null).
KeptPasswords FillPasswords(std::vector<Pop3Record>& records, SecretStore* store);

// Before the table is written: each password moves into the keyring when one runs, and its
// record keeps an empty field; a password the keyring refused stays in its record, so nothing
// is lost. Of the `kept` keys (what FillPasswords found when the table was read), those whose
// mailbox is gone or whose password was cleared are forgotten. The failure names the mailboxes
// whose password stayed in the file.
Status MovePasswordsToStore(std::vector<Pop3Record>& records, SecretStore* store,
                            const std::set<std::string>& kept);

// Where the passwords are, in words for the options.
std::string PasswordStoreText(bool keyringRuns);

}  // namespace orva
